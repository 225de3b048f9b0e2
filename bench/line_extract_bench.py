#!/usr/bin/env python3
"""Times `quillmark-cli line-extract` against `sed -n 'S~Np'` on a generated 200 MB text file.

Usage: line_extract_bench.py QUILLMARK_CLI WORK_DIR

Both tools write every N-th line from line S; on a file whose last line ends in a line feed
their outputs must agree byte for byte, which is checked for every case. Reports the median
wall time of three runs of each. Never fails on speed; exits 1 only when the outputs differ.
"""
import filecmp
import os
import random
import sys

from timing import median_time

TARGET_BYTES = 200 * 1000 * 1000
CASES = [(1, 4), (3, 1000), (1, 1), (2, 2)]  # (start line, every n-th line)
RUNS = 3  # median_time's default


def make_input(path):
    """Trajectory-like column listing: about 60 bytes a line, a few CR LF and long lines."""
    if os.path.exists(path) and os.path.getsize(path) >= TARGET_BYTES:
        return
    rng = random.Random(53)
    block = []
    for i in range(20000):
        if i % 997 == 0:
            block.append("#" + "x" * rng.randint(500, 5000) + "\n")
        elif i % 113 == 0:
            block.append("\r\n")
        else:
            block.append("%8d %14.6f %14.6f %14.6f\n" % (
                i, rng.uniform(-99, 99), rng.uniform(-99, 99), rng.uniform(-99, 99)))
    chunk = "".join(block).encode("ascii")
    written = 0
    with open(path + ".part", "wb") as out:
        while written < TARGET_BYTES:
            out.write(chunk)
            written += len(chunk)
    os.replace(path + ".part", path)


def main():
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    cli, work = sys.argv[1], sys.argv[2]
    os.makedirs(work, exist_ok=True)
    data = os.path.join(work, "line_extract_input.txt")
    make_input(data)
    size_mb = os.path.getsize(data) / 1e6
    print("input: %s (%.0f MB), median of %d runs" % (data, size_mb, RUNS))
    print("%-14s %12s %10s %7s %10s" % ("start~every", "quillmark s", "sed s", "ratio", "outputs"))
    all_same = True
    for start, every in CASES:
        ours = os.path.join(work, "line_extract_ours.txt")
        theirs = os.path.join(work, "line_extract_sed.txt")
        t_ours = median_time([cli, "line-extract", "--input", data, "--output", ours,
                              "--start", str(start), "--every", str(every)])
        t_sed = median_time(["sed", "-n", "%d~%dp" % (start, every), data], theirs)
        same = filecmp.cmp(ours, theirs, shallow=False)
        all_same = all_same and same
        print("%-14s %12.3f %10.3f %7.2f %10s" % ("%d~%d" % (start, every), t_ours, t_sed,
                                                  t_ours / t_sed, "same" if same else "DIFFER"))
        os.remove(ours)
        os.remove(theirs)
    return 0 if all_same else 1


if __name__ == "__main__":
    sys.exit(main())
