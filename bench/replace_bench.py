#!/usr/bin/env python3
"""Global search and replace against sed: quillmark-cli replace vs `sed -i 's/A/B/g'`.

usage: replace_bench.py QUILLMARK_CLI WORK_DIR

Builds a 200 MB text file in WORK_DIR, runs each tool three times on its own fresh copy, reports
the median wall times and checks that both results are byte for byte the same (the inputs are
chosen so that the pass-by-pass replacement and sed's single global pass agree).
"""
import filecmp
import os
import random
import shutil
import statistics
import subprocess
import sys
import time

SIZE = 200 * 1024 * 1024
CASES = [
    # (name, search, replace)
    ("same length", "kcal", "KCAL"),
    ("shorter", "Energy=", "E="),
    ("longer", "Done", "Finished"),
]


def make_input(path):
    rng = random.Random(7)
    words = ["SCF", "Energy=", "kcal", "root", "state", "-1.2345678", "0.0001", "Done", "x", "mol"]
    lines = []
    for _ in range(4000):
        lines.append(" ".join(rng.choice(words) for _ in range(rng.randint(3, 12))) + "\n")
    block = "".join(lines).encode()
    with open(path, "wb") as out:
        written = 0
        while written < SIZE:
            piece = block[: SIZE - written]
            out.write(piece)
            written += len(piece)


def timed(cmd):
    start = time.perf_counter()
    subprocess.run(cmd, check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    return time.perf_counter() - start


def main():
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    cli, work = sys.argv[1], sys.argv[2]
    os.makedirs(work, exist_ok=True)
    source = os.path.join(work, "replace_input.txt")
    if not os.path.exists(source) or os.path.getsize(source) != SIZE:
        make_input(source)
    rows = []
    for name, search, replace in CASES:
        ours, theirs = [], []
        for run in range(3):
            for tool, times in (("qm", ours), ("sed", theirs)):
                copy = os.path.join(work, f"{tool}.txt")
                shutil.copyfile(source, copy)
                if tool == "qm":
                    times.append(timed([cli, "replace", "--search1", search, "--replace1",
                                        replace, copy]))
                else:
                    times.append(timed(["sed", "-i", f"s/{search}/{replace}/g", copy]))
        same = filecmp.cmp(os.path.join(work, "qm.txt"), os.path.join(work, "sed.txt"),
                           shallow=False)
        rows.append((name, search, replace, statistics.median(ours), statistics.median(theirs),
                     same))
        for tool in ("qm", "sed"):
            os.remove(os.path.join(work, f"{tool}.txt"))
    print(f"{'case':<12} {'search -> replace':<22} {'quillmark s':>11} {'sed s':>8} "
          f"{'ratio':>6}  same")
    for name, search, replace, q, s, same in rows:
        print(f"{name:<12} {search + ' -> ' + replace:<22} {q:>11.2f} {s:>8.2f} {q / s:>6.2f}  "
              f"{'yes' if same else 'NO'}")


if __name__ == "__main__":
    main()
