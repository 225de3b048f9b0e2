#!/usr/bin/env python3
"""Times `quillmark-cli convert` on a generated ~100 MB Gaussian 98 optimisation output (last
geometry to PDB, every geometry to PDB files, and every geometry as the models of one standard
PDB) beside Open Babel's `obabel -ig98 FILE -opdb`
on the same file, and prints the medians of RUNS runs and their ratio.

usage: g98_convert_bench.py QUILLMARK_CLI WORK_DIR [RUNS]
"""
import os
import shutil
import statistics
import subprocess
import sys
import time

HERE = os.path.dirname(os.path.abspath(__file__))


def median_seconds(cmd, runs, cwd):
    times = []
    for _ in range(runs):
        start = time.perf_counter()
        subprocess.run(cmd, cwd=cwd, check=True, stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL, timeout=3600)
        times.append(time.perf_counter() - start)
    return statistics.median(times)


def main():
    cli, work = os.path.abspath(sys.argv[1]), os.path.abspath(sys.argv[2])
    runs = int(sys.argv[3]) if len(sys.argv) > 3 else 5
    os.makedirs(work, exist_ok=True)
    data = os.path.join(work, "opt.out")
    if not os.path.exists(data):
        subprocess.run([sys.executable, os.path.join(HERE, "make_g98_opt.py"), data, "100"],
                       check=True)
    every = os.path.join(work, "every")
    shutil.rmtree(every, ignore_errors=True)
    os.makedirs(every)

    rows = [("quillmark-cli, last geometry to PDB",
             median_seconds([cli, "convert", "--input", data, "--output", "last.pdb",
                             "--input-type", "g98", "--output-type", "pdb"], runs, work)),
            ("quillmark-cli, every geometry to PDB",
             median_seconds([cli, "convert", "--input", data, "--output",
                             os.path.join(every, "opt.pdb"), "--input-type", "g98",
                             "--output-type", "pdb", "--multiple"], runs, work))]
    obabel = shutil.which("obabel")
    if obabel:
        rows.append(("obabel -ig98 FILE -opdb",
                     median_seconds([obabel, "-ig98", data, "-opdb", "-O", "obabel.pdb"],
                                    runs, work)))
    rows.append(("quillmark-cli, every geometry to one standard PDB",
                 median_seconds([cli, "convert", "--input", data, "--output", "models.pdb",
                                 "--input-type", "g98", "--output-type", "standard-pdb",
                                 "--multiple"], runs, work)))
    size = os.path.getsize(data) / 1048576.0
    print("input: %.1f MB, median of %d runs" % (size, runs))
    for name, seconds in rows:
        print("  %-40s %8.3f s" % (name, seconds))
    if obabel:
        print("  obabel / quillmark (last geometry): %.1f x" % (rows[2][1] / rows[0][1]))
    else:
        print("  obabel not installed (apt-get install openbabel) - no comparison")


if __name__ == "__main__":
    main()
