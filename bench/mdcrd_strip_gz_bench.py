#!/usr/bin/env python3
"""Times `quillmark-cli mdcrd-strip` on a gzip-compressed 1 GB Amber trajectory.

Usage: mdcrd_strip_gz_bench.py QUILLMARK_CLI WORK_DIR [SOURCE_CRD]

The trajectory repeats the frames of SOURCE_CRD (default: the real cpptraj trajectory in
../shared/testdata/real/amber/ beside the checkout) until it holds 1 GB, and is compressed with
gzip -6. Reports the median wall time of three runs and the peak memory (/usr/bin/time -v) of:
`zcat FILE > /dev/null` (the floor: one decompression), `quillmark-cli mdcrd-strip` on the .gz
file (it checks every frame in one pass and copies in a second, each decompressing the file)
and on the plain file. Never fails on speed; exits 1 only when the two strips disagree.
"""
import filecmp
import os
import re
import statistics
import subprocess
import sys

TARGET_BYTES = 1000 * 1000 * 1000
RUNS = 3
HERE = os.path.dirname(os.path.abspath(__file__))
DEFAULT_SOURCE = os.path.join(HERE, "..", "..", "shared", "testdata", "real", "amber",
                              "cpptraj_tz2.crd")


def make_input(source, plain, packed):
    """The title of `source`, then its frames again and again up to TARGET_BYTES, and a gzip
    copy of that."""
    if os.path.exists(packed) and os.path.exists(plain) and os.path.getsize(plain) >= TARGET_BYTES:
        return
    with open(source, "rb") as f:
        title = f.readline()
        body = f.read()
    with open(plain + ".part", "wb") as out:
        out.write(title)
        written = len(title)
        while written < TARGET_BYTES:
            out.write(body)
            written += len(body)
    os.replace(plain + ".part", plain)
    with open(packed + ".part", "wb") as out:
        subprocess.run(["gzip", "-6", "-c", plain], stdout=out, check=True)
    os.replace(packed + ".part", packed)


def timed(argv, stdout_path=None):
    """Median wall time of RUNS runs and the largest peak memory (kB) /usr/bin/time saw."""
    times, peaks = [], []
    for _ in range(RUNS):
        out = open(stdout_path or os.devnull, "wb")
        try:
            result = subprocess.run(["/usr/bin/time", "-v"] + argv, stdout=out,
                                    stderr=subprocess.PIPE)
        finally:
            out.close()
        report = result.stderr.decode(errors="replace")
        if result.returncode != 0:
            sys.exit("%s failed (%d): %s" % (argv[0], result.returncode, report))
        wall = re.search(r"Elapsed \(wall clock\) time \(h:mm:ss or m:ss\): (\S+)", report).group(1)
        seconds = 0.0
        for part in wall.split(":"):
            seconds = seconds * 60 + float(part)
        times.append(seconds)
        peaks.append(int(re.search(r"Maximum resident set size \(kbytes\): (\d+)", report).group(1)))
    return statistics.median(times), max(peaks)


def main():
    if len(sys.argv) not in (3, 4):
        sys.exit(__doc__)
    cli, work = sys.argv[1], sys.argv[2]
    source = sys.argv[3] if len(sys.argv) == 4 else DEFAULT_SOURCE
    if not os.path.exists(source):
        print("mdcrd gzip benchmark: %s not found, skipped" % source)
        return
    os.makedirs(work, exist_ok=True)
    plain = os.path.join(work, "md.crd")
    packed = plain + ".gz"
    make_input(source, plain, packed)
    atoms = 223  # cpptraj_tz2.crd: 223 atoms, no box lines
    print("input: %s (%.0f MB, %.0f MB compressed, %d atoms), median of %d runs"
          % (packed, os.path.getsize(plain) / 1e6, os.path.getsize(packed) / 1e6, atoms, RUNS))
    strip = ["mdcrd-strip", "--atoms", str(atoms), "--first", "1", "--last", "100"]
    out_gz = os.path.join(work, "solute_from_gz.crd")
    out_plain = os.path.join(work, "solute_from_plain.crd")
    t_zcat, m_zcat = timed(["zcat", packed])
    t_gz, m_gz = timed([cli, "-q"] + strip + ["--input", packed, "--output", out_gz])
    t_plain, m_plain = timed([cli, "-q"] + strip + ["--input", plain, "--output", out_plain])
    print("%-40s %7.2f s %8d kB peak" % ("zcat FILE > /dev/null", t_zcat, m_zcat))
    print("%-40s %7.2f s %8d kB peak   (ours / zcat = %.2f)"
          % ("quillmark-cli mdcrd-strip FILE.gz", t_gz, m_gz, t_gz / t_zcat))
    print("%-40s %7.2f s %8d kB peak" % ("quillmark-cli mdcrd-strip FILE (plain)", t_plain,
                                           m_plain))
    same = filecmp.cmp(out_gz, out_plain, shallow=False)
    os.remove(out_gz)
    os.remove(out_plain)
    if not same:
        sys.exit("the strips of the compressed and the plain file differ")


if __name__ == "__main__":
    main()
