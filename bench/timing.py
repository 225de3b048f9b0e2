"""Wall-clock timing shared by the benchmark scripts."""
import statistics
import subprocess
import sys
import time


def median_time(argv, stdout_path=None, runs=3):
    """Median wall time of `runs` runs of `argv`; stdout goes to a fresh `stdout_path` each run
    (or is discarded). A failing run ends the benchmark with its error output."""
    times = []
    for _ in range(runs):
        out = open(stdout_path, "wb") if stdout_path else subprocess.DEVNULL
        try:
            begin = time.perf_counter()
            result = subprocess.run(argv, stdout=out, stderr=subprocess.PIPE)
            times.append(time.perf_counter() - begin)
        finally:
            if stdout_path:
                out.close()
        if result.returncode != 0:
            sys.exit("%s failed (%d): %s" % (argv[0], result.returncode,
                                              result.stderr.decode(errors="replace")))
    return statistics.median(times)
