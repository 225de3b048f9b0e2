#!/usr/bin/env python3
"""Times `quillmark-cli char-extract` against `cut -c` on a generated 200 MB text file.

Usage: char_extract_bench.py QUILLMARK_CLI WORK_DIR

Only ranges where both tools write the same bytes are timed (ascending, non-overlapping ranges
on line-feed text); each figure is the median of three runs. Reports numbers, never fails.
"""
import os
import random
import statistics
import subprocess
import sys
import time

SIZE = 200 * 1024 * 1024
RUNS = 3


def generate(path):
    if os.path.exists(path) and os.path.getsize(path) >= SIZE:
        return
    rng = random.Random(51)
    # Fixed-column records like the data files the tool is used on, with a few shorter lines.
    rows = []
    for _ in range(4096):
        width = rng.choice([80, 80, 80, 72, 96, 40])
        rows.append("".join(rng.choice("0123456789 .-EABCxyz") for _ in range(width)) + "\n")
    block = "".join(rows).encode()
    with open(path, "wb") as out:
        written = 0
        while written < SIZE:
            out.write(block)
            written += len(block)


def timed(argv, stdout_path=None):
    """Median wall time; stdout goes to a fresh `stdout_path` each run (or is discarded)."""
    times = []
    for _ in range(RUNS):
        with open(stdout_path or os.devnull, "wb") as sink:
            start = time.perf_counter()
            subprocess.run(argv, stdout=sink, stderr=subprocess.DEVNULL, check=True)
            times.append(time.perf_counter() - start)
    return statistics.median(times)


def main():
    if len(sys.argv) != 3:
        print(__doc__)
        return 2
    cli, work = sys.argv[1], sys.argv[2]
    os.makedirs(work, exist_ok=True)
    data = os.path.join(work, "char_extract_200mb.txt")
    generate(data)
    ours = os.path.join(work, "char_extract_ours.txt")
    theirs = os.path.join(work, "char_extract_cut.txt")
    cases = [
        ("whole line 1:97", [(1, 97)]),
        ("one column 11:20", [(11, 20)]),
        ("three ranges", [(1, 8), (21, 30), (61, 75)]),
        ("five ranges", [(1, 4), (10, 14), (30, 40), (50, 52), (70, 80)]),
    ]
    print(f"input: {os.path.getsize(data) / 1e6:.0f} MB, median of {RUNS} runs")
    print(f"{'ranges':<20} {'quillmark-cli':>14} {'cut -c':>10} {'ratio':>7}  same bytes")
    for name, ranges in cases:
        ours_argv = [cli, "char-extract", "--input", data, "--output", ours]
        for s, f in ranges:
            ours_argv += ["--range", f"{s}:{f}"]
        cut_argv = ["cut", "-c", ",".join(f"{s}-{f}" for s, f in ranges), data]
        t_ours = timed(ours_argv)
        t_cut = timed(cut_argv, stdout_path=theirs)
        same = subprocess.run(["cmp", "-s", ours, theirs]).returncode == 0
        print(f"{name:<20} {t_ours:>13.2f}s {t_cut:>9.2f}s {t_ours / t_cut:>6.2f}x  {'yes' if same else 'NO'}")
    for path in (ours, theirs):
        os.remove(path)
    return 0


if __name__ == "__main__":
    sys.exit(main())
