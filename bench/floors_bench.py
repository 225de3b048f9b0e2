#!/usr/bin/env python3
"""Sets `quillmark-cli ev-extract` and `correlate` beside the floors the hardware allows, in one
run of paired, interleaved measurements (each round runs every command once, in turn; the table
shows medians over the rounds):

  job (N TD outputs, ~100 KB each, warm cache)     floor
  ev-extract, plain (CPU)                          one process reading every file into one
                                                   reused buffer (floors read)
    its outputs (CPU)                              the same read loop plus its outputs written
                                                   again, each as a new file renamed over it
                                                   (floors rewrite)
    a first run (CPU)                              the same, outputs into an empty folder: no
                                                   earlier output is replaced
  ev-extract, gzip (CPU, wall)                     zlib inflate in one process (floors zlib),
                                                   libdeflate (floors libdeflate); zcat (wall)
  ev-extract, zstd (CPU, wall)                     zstd decompression in one process (floors
                                                   zstd); zstdcat (wall)
  ev-extract --threads 1 vs --threads 2, plain     2 threads ~ 1.9x
  ... a first run (outputs into an empty folder)   the same, with no earlier output to replace
  read loop, 1 vs 2 threads (wall)                 what a second core gains in reading alone
  ev-extract --threads 1, gzip (wall, page faults) the same run with 2 threads
  ev-extract max RSS, N and 10 N files             flat: the same at 10 N (the 10 N series
                                                   names every file ten times, by links)
  correlate N = 10^6                               scipy.signal.correlate (FFT), when the CLI
                                                   has --method fft

Each row shows its target and whether this run met it. The floors program is built by
`make bench` (bench/floors.c). CPU is user + system time of the child and RSS its peak resident
memory, from wait4; wall is elapsed time. The load average before and after is printed: on a
shared machine the wall times (threads above all) follow what else runs.

usage: floors_bench.py QUILLMARK_CLI FLOORS WORK_DIR [N=2000] [RUNS=5]
"""
import os
import shutil
import statistics
import subprocess
import sys
import threading
import time

HERE = os.path.dirname(os.path.abspath(__file__))
GENERATOR = os.path.join(HERE, "make_td_series.py")
SYSTEM_PYTHON = "/usr/bin/python3"
TIMEOUT = 3600

SCIPY_CORRELATE = r"""
import sys, time
import numpy as np
from scipy.signal import correlate
x = np.loadtxt(sys.argv[1])
start = time.perf_counter()
c = correlate(x, x, mode="full", method="fft")[len(x) - 1:]
print("%.6f" % (time.perf_counter() - start))
"""


def fail(message):
    sys.stderr.write("floors_bench: " + message + "\n")
    sys.exit(1)


class FreshOutputs:
    """ev-extract writing into an empty folder, a new one for each run (made and emptied outside
    the timing): a first run, whose outputs replace no file."""

    def __init__(self, cmd, work):
        self.cmd, self.work = cmd, work

    def next(self):
        folder = os.path.join(self.work, "fresh-outputs")
        shutil.rmtree(folder, ignore_errors=True)
        os.makedirs(folder)
        return self.cmd + ["--output-dir", folder]


def measured(cmd, cwd):
    """(wall s, cpu s, minor page faults, max RSS KB) of one run of cmd; it must exit 0."""
    if isinstance(cmd, FreshOutputs):
        cmd = cmd.next()
    start = time.perf_counter()
    proc = subprocess.Popen(cmd, cwd=cwd, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    timer = threading.Timer(TIMEOUT, proc.kill)
    timer.start()
    _, status, usage = os.wait4(proc.pid, 0)
    wall = time.perf_counter() - start
    timer.cancel()
    proc.returncode = os.waitstatus_to_exitcode(status)
    if proc.returncode != 0:
        fail("%s exited with %d" % (" ".join(cmd), proc.returncode))
    return wall, usage.ru_utime + usage.ru_stime, usage.ru_minflt, usage.ru_maxrss


def ensure_series(work, n):
    """plain/, gzip/ and zstd/ series of the same N generated outputs."""
    plain = os.path.join(work, "plain")
    names = ["gap%d.gout" % i for i in range(1, n + 1)]
    if not all(os.path.isfile(os.path.join(plain, f)) for f in names):
        subprocess.run([sys.executable, GENERATOR, plain, str(n)], check=True, timeout=TIMEOUT)
    for kind, tool, suffix in (("gzip", ["gzip", "-6", "-c"], ".gz"),
                               ("zstd", ["zstd", "-q", "-3", "-c"], ".zst")):
        folder = os.path.join(work, kind)
        os.makedirs(folder, exist_ok=True)
        for f in names:
            target = os.path.join(folder, f + suffix)
            if not os.path.isfile(target):
                with open(target, "wb") as out:
                    subprocess.run(tool + [os.path.join(plain, f)], stdout=out, check=True)
    return plain, names


def ensure_links(work, plain, n, times):
    """A series of times x n names, each a link to one of the n plain files in turn."""
    folder = os.path.join(work, "plain-x%d" % times)
    os.makedirs(folder, exist_ok=True)
    for i in range(1, times * n + 1):
        link = os.path.join(folder, "gap%d.gout" % i)
        if not os.path.lexists(link):
            os.symlink(os.path.join(plain, "gap%d.gout" % ((i - 1) % n + 1)), link)
    return folder


def memory_folder(work):
    """A folder in /dev/shm for outputs that only take room (the work folder when there is none)."""
    folder = os.path.join("/dev/shm", "floors-bench-outputs") if os.path.isdir("/dev/shm") else \
        os.path.join(work, "outputs")
    os.makedirs(folder, exist_ok=True)
    return folder + os.sep


def ev_cmd(cli, folder, n, suffix, zipped, threads=None):
    cmd = [cli, "-q"] + (["--threads", str(threads)] if threads else []) + [
        "ev-extract", "--dir", folder, "--prefix", "gap", "--suffix", suffix, "--end", str(n),
        "--root-end", "12", "--limit-low", "0", "--limit-high", "10", "--roots", "2", "--tdm",
        "--scf-energies", "--scf-cycles", "--orbitals", "--no-status-log"]
    return cmd + (["--zipped"] if zipped else [])


def main():
    if len(sys.argv) < 4:
        fail("usage: floors_bench.py QUILLMARK_CLI FLOORS WORK_DIR [N=2000] [RUNS=5]")
    cli, floors, work = (os.path.abspath(a) for a in sys.argv[1:4])
    n = int(sys.argv[4]) if len(sys.argv) > 4 else 2000
    runs = int(sys.argv[5]) if len(sys.argv) > 5 else 5
    os.makedirs(work, exist_ok=True)
    plain, names = ensure_series(work, n)
    gz = os.path.join(work, "gzip")
    zs = os.path.join(work, "zstd")
    gz_names = [f + ".gz" for f in names]
    zs_names = [f + ".zst" for f in names]
    have_zstdcat = shutil.which("zstdcat") is not None
    tenfold = ensure_links(work, plain, n, 10)
    load_before = os.getloadavg()

    cases = {
        "read": ([floors, "read"] + names, plain),
        "ev": (ev_cmd(cli, plain, n, ".gout", False), plain),
        "zlib": ([floors, "zlib"] + gz_names, gz),
        "libdeflate": ([floors, "libdeflate"] + gz_names, gz),
        "zcat": (["zcat"] + gz_names, gz),
        "ev_gz": (ev_cmd(cli, gz, n, ".gout.gz", True), gz),
        "zstd": ([floors, "zstd"] + zs_names, zs),
        "ev_zst": (ev_cmd(cli, zs, n, ".gout.zst", True), zs),
        "ev_t1": (ev_cmd(cli, plain, n, ".gout", False, 1), plain),
        "ev_t2": (ev_cmd(cli, plain, n, ".gout", False, 2), plain),
        "ev_gz_t1": (ev_cmd(cli, gz, n, ".gout.gz", True, 1), gz),
        "ev_gz_t2": (ev_cmd(cli, gz, n, ".gout.gz", True, 2), gz),
        # Its outputs (1.7 GB of angular-frequency files at 20000 slots) go to memory when it
        # can, so that their writing back does not run under the other rows.
        "ev_10n": (ev_cmd(cli, tenfold, 10 * n, ".gout", False)
                   + ["--output-dir", memory_folder(work)], tenfold),
        "ev_new": (FreshOutputs(ev_cmd(cli, plain, n, ".gout", False), work), plain),
        "ev_new_t1": (FreshOutputs(ev_cmd(cli, plain, n, ".gout", False, 1), work), plain),
        "ev_new_t2": (FreshOutputs(ev_cmd(cli, plain, n, ".gout", False, 2), work), plain),
    }
    # The read loop in two threads of one process, each reading every other file: how far this
    # machine's reading of the page cache itself gains from a second core.
    cases["read_2"] = ([floors, "read2"] + names, plain)
    if have_zstdcat:
        cases["zstdcat"] = (["zstdcat", "-q"] + zs_names, zs)
    for cmd, cwd in cases.values():  # warm the page cache and check every command once
        measured(cmd, cwd)
    # The outputs the plain run leaves, written again through a temporary file and a rename:
    # the system time any run writing them the safe way spends beside reading its inputs.
    inputs = set(names)
    outputs = sorted(f for f in os.listdir(plain)
                     if f not in inputs and os.path.isfile(os.path.join(plain, f)))
    cases["rewrite"] = ([floors, "rewrite"] + outputs, plain)
    measured(*cases["rewrite"])
    samples = {key: [] for key in cases}
    # Each round starts one case further on: a run that creates files pays for what the runs
    # just before it deleted (ext4 without a journal passes over inodes deleted in the last 30
    # seconds when it makes a file), so no case should always come late in a round.
    keys = list(cases)
    for round_number in range(runs):
        shift = round_number % len(keys)
        for key in keys[shift:] + keys[:shift]:
            samples[key].append(measured(*cases[key]))

    def med(key, i):
        return statistics.median(s[i] for s in samples[key])

    wall = lambda k: med(k, 0)
    cpu = lambda k: med(k, 1)
    faults = lambda k: med(k, 2)
    rss = lambda k: med(k, 3)
    mb = sum(os.path.getsize(os.path.join(plain, f)) for f in names) / 1e6
    load_after = os.getloadavg()
    print("floors benchmark: %d TD outputs, %.1f MB plain; paired, interleaved; median of %d "
          "rounds; load average %.2f before, %.2f after (1 min)"
          % (n, mb, runs, load_before[0], load_after[0]))

    def ratio(value, floor, target, text):
        """The ratio to the floor, and whether it meets the target (at most, or at least when
        the target is negative)."""
        r = value / floor
        met = r <= target if target > 0 else r >= -target
        return (text % r, ("<= %.1fx" % target) if target > 0 else (">= %.1fx" % -target),
                "met" if met else "NOT met")

    rows = [("job", "this run", "floor", "ratio", "target", "")]
    rows.append(("ev-extract, plain, a rerun (CPU)", "%.3f s" % cpu("ev"),
                 "read loop %.3f s" % cpu("read"))
                + ratio(cpu("ev"), cpu("read"), 2.5, "%.2fx floor"))
    out_mb = sum(os.path.getsize(os.path.join(plain, f)) for f in outputs) / 1e6
    rows.append(("  its %d outputs, %.1f MB (CPU)" % (len(outputs), out_mb), "",
                 "rewrite loop %.3f s" % cpu("rewrite"),
                 "%.2fx read + rewrite" % (cpu("ev") / (cpu("read") + cpu("rewrite"))), "", ""))
    rows.append(("  a first run: outputs into an empty folder (CPU)", "%.3f s" % cpu("ev_new"),
                 "read loop %.3f s" % cpu("read"), "%.2fx floor" % (cpu("ev_new") / cpu("read")),
                 "", ""))
    rows.append(("ev-extract, gzip (CPU)", "%.3f s" % cpu("ev_gz"),
                 "zlib %.3f s, libdeflate %.3f s" % (cpu("zlib"), cpu("libdeflate")))
                + ratio(cpu("ev_gz"), cpu("libdeflate"), 1.5, "%.2fx libdeflate"))
    rows.append(("ev-extract, gzip (wall)", "%.3f s" % wall("ev_gz"), "zcat %.3f s" % wall("zcat"))
                + ratio(wall("ev_gz"), wall("zcat"), 0.6, "%.2fx zcat"))
    rows.append(("ev-extract, zstd (CPU)", "%.3f s" % cpu("ev_zst"), "zstd %.3f s" % cpu("zstd"),
                 "%.2fx floor" % (cpu("ev_zst") / cpu("zstd")), "", ""))
    if have_zstdcat:
        rows.append(("ev-extract, zstd (wall)", "%.3f s" % wall("ev_zst"),
                     "zstdcat %.3f s" % wall("zstdcat"))
                    + ratio(wall("ev_zst"), wall("zstdcat"), 1.5, "%.2fx zstdcat"))
    rows.append(("ev-extract --threads 1 / 2, plain (wall)",
                 "%.3f / %.3f s" % (wall("ev_t1"), wall("ev_t2")), "2 threads ~ 1.9x")
                + ratio(wall("ev_t1"), wall("ev_t2"), -1.7, "%.2fx"))
    rows.append(("  a first run: outputs into an empty folder (wall)",
                 "%.3f / %.3f s" % (wall("ev_new_t1"), wall("ev_new_t2")), "",
                 "%.2fx" % (wall("ev_new_t1") / wall("ev_new_t2")), "", ""))
    rows.append(("  read loop, 1 / 2 threads (wall)",
                 "", "%.3f / %.3f s" % (wall("read"), wall("read_2")),
                 "%.2fx" % (wall("read") / wall("read_2")), "", ""))
    rows.append(("ev-extract --threads 1 / 2, gzip (wall)",
                 "%.3f / %.3f s" % (wall("ev_gz_t1"), wall("ev_gz_t2")),
                 "page faults %d / %d" % (faults("ev_gz_t1"), faults("ev_gz_t2")),
                 "%.2fx" % (wall("ev_gz_t1") / wall("ev_gz_t2")), "", ""))
    grown = (rss("ev_10n") - rss("ev")) * 1024 / (9 * n)
    rows.append(("ev-extract max RSS, %d / %d files" % (n, 10 * n),
                 "%.1f / %.1f MB" % (rss("ev") / 1024, rss("ev_10n") / 1024),
                 "flat in the number of files", "%+.0f bytes per file" % grown,
                 "<= 1.1x at 10 N", "met" if rss("ev_10n") <= 1.1 * rss("ev") else "NOT met"))
    correlate_row(cli, work, rows)
    width = [max(len(r[i]) for r in rows) for i in range(6)]
    for r in rows:
        print("  " + "  ".join(r[i].ljust(width[i]) for i in range(6)).rstrip())


def correlate_row(cli, work, rows):
    """correlate --method fft on 10^6 values beside scipy's FFT correlation, when both exist."""
    help_text = subprocess.run([cli, "correlate", "--help"], stdout=subprocess.PIPE,
                               stderr=subprocess.STDOUT).stdout.decode()
    if "--method" not in help_text:
        rows.append(("correlate N = 10^6", "(no --method fft)", "", "", "", ""))
        return
    data = os.path.join(work, "corr-1e6.dat")
    if not os.path.isfile(data):
        import random
        rng = random.Random(1)
        value = 0.0
        with open(data, "w") as f:
            for _ in range(10 ** 6):
                value = 0.99 * value + rng.gauss(0, 1)
                f.write("%.6f\n" % value)
    out = os.path.join(work, "corr-out.dat")
    wall, _, _, _ = measured([cli, "-q", "correlate", "--input1", data, "--input2", data,
                           "--output", out, "--method", "fft"], work)
    scipy = subprocess.run([SYSTEM_PYTHON, "-c", SCIPY_CORRELATE, data], stdout=subprocess.PIPE,
                           stderr=subprocess.DEVNULL)
    floor = ("scipy FFT %.3f s (correlation only)" % float(scipy.stdout.decode())
             if scipy.returncode == 0 else "scipy not available")
    rows.append(("correlate --method fft, N = 10^6 (wall)", "%.3f s" % wall, floor, "",
                 "<= 2 s", "met" if wall <= 2 else "NOT met"))


if __name__ == "__main__":
    main()
