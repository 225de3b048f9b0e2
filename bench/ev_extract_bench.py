#!/usr/bin/env python3
"""Times `quillmark-cli ev-extract` on a generated series of N Gaussian TD outputs (about
100 KB each, see make_td_series.py), plain and gzip-compressed, beside

  * `cat` of the N plain files to /dev/null and `zcat` of the N gzip files (the I/O floor),
  * Debian's python3-cclib reading the same N plain files with cclib.io.ccread in one
    /usr/bin/python3 process (only the loop is timed),

and on a second plain series of the same size made from a Gaussian 16 TD output (symmetry
labels, triplets between the singlets, the "Dip. S." column), beside `cat` of it, so the two
layouts' parsing costs stand side by side in one run; and on a third made from the ORCA 6
TD-DFT output (make_orca_series.py), whose cost per MB is set beside the Gaussian 16 series'.

ev-extract runs with 2 roots and every optional output on, the status log on, and with
WORK_DIR as its working folder. On the plain series it runs a second time with both tables
(--table, --states-table) and --skip-failed, in turns with the run without them, so the cost of
the tables stands beside the time without them; with BASELINE_CLI (an earlier build) the plain
case is timed with that build as well, in the same turns. Each run must exit 0 and write freqgapEV.1 with one line per
file, or the benchmark stops. All timings are medians of RUNS runs after one untimed pass that
warms the page cache. If cclib would need more than 20 minutes for N files, it reads the first
200 only and its time is scaled linearly to N (the table says so).

usage: ev_extract_bench.py QUILLMARK_CLI WORK_DIR [N=2000] [RUNS=3] [BASELINE_CLI]
"""
import hashlib
import os
import shutil
import statistics
import subprocess
import sys
import time

HERE = os.path.dirname(os.path.abspath(__file__))
GENERATOR = os.path.join(HERE, "make_td_series.py")
REAL = os.path.join(HERE, "..", "..", "shared", "testdata", "real")
G16_TEMPLATE = os.path.join(REAL, "gaussian_modern", "cclib_Gaussian16_CO_TD_delta.log")
ORCA_TEMPLATE = os.path.join(REAL, "orca", "cclib_ORCA6_dvb_td.out")
ORCA_GENERATOR = os.path.join(HERE, "make_orca_series.py")
SYSTEM_PYTHON = "/usr/bin/python3"
CCLIB_LIMIT_SECONDS = 20 * 60
CCLIB_SUBSET = 200
CCLIB_PROBE = 20
TIMEOUT = 3600  # seconds, for any one timed command

CCLIB_LOOP = r"""
import sys, time
import cclib
folder, count = sys.argv[1], int(sys.argv[2])
paths = ["%s/gap%d.gout" % (folder, i) for i in range(1, count + 1)]
good = 0
start = time.perf_counter()
for p in paths:
    data = cclib.io.ccread(p)
    if data is not None and len(getattr(data, "etenergies", ())) > 0:
        good += 1
elapsed = time.perf_counter() - start
print("%.6f %d" % (elapsed, good))
"""


def fail(message):
    sys.stderr.write("ev_extract_bench: " + message + "\n")
    sys.exit(1)


def series_names(n, suffix):
    return ["gap%d%s" % (i, suffix) for i in range(1, n + 1)]


def ensure_series(folder, n, gzipped, template=None):
    """Writes the series unless all N files are there from the same generator and template."""
    suffix = ".gout.gz" if gzipped else ".gout"
    with open(GENERATOR, "rb") as f:
        stamp_text = hashlib.sha1(f.read() + (template or "").encode()).hexdigest()
    stamp = os.path.join(folder, ".series-stamp")
    have = os.path.isfile(stamp) and open(stamp).read().strip() == stamp_text and all(
        os.path.isfile(os.path.join(folder, name)) for name in series_names(n, suffix))
    if have:
        return
    cmd = [sys.executable, GENERATOR, folder, str(n)] + (["--gzip"] if gzipped else [])
    if template:
        cmd += ["--template", template]
    subprocess.run(cmd, check=True, timeout=TIMEOUT)
    with open(stamp, "w") as f:
        f.write(stamp_text + "\n")


def timed(cmd, cwd, check_output=None):
    start = time.perf_counter()
    proc = subprocess.run(cmd, cwd=cwd, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE,
                          timeout=TIMEOUT)
    seconds = time.perf_counter() - start
    if proc.returncode != 0:
        fail("%s exited with %d\n%s" % (" ".join(cmd[:2]), proc.returncode,
                                        proc.stderr.decode(errors="replace")[-2000:]))
    if check_output:
        check_output(proc)
    return seconds


def median_of(runs, one_run, before=None):
    times = []
    for _ in range(runs):
        if before:
            before()
        times.append(one_run())
    return statistics.median(times)


def ensure_orca_series(folder, n):
    """Writes the ORCA series unless all N files are there from the same generator."""
    with open(ORCA_GENERATOR, "rb") as f:
        stamp_text = hashlib.sha1(f.read()).hexdigest()
    stamp = os.path.join(folder, ".series-stamp")
    if os.path.isfile(stamp) and open(stamp).read().strip() == stamp_text and all(
            os.path.isfile(os.path.join(folder, "orca%d.out" % i)) for i in range(1, n + 1)):
        return
    subprocess.run([sys.executable, ORCA_GENERATOR, folder, str(n), "--template",
                    os.path.abspath(ORCA_TEMPLATE)], check=True, timeout=TIMEOUT)
    with open(stamp, "w") as f:
        f.write(stamp_text + "\n")


def ev_extract_case(cli, work, folder, n, suffix, zipped, extra=(), prefix="gap", root_end=12):
    cmd = [cli, "ev-extract", "--dir", folder, "--prefix", prefix, "--suffix", suffix,
           "--end", str(n), "--root-end", str(root_end), "--limit-low", "0", "--limit-high", "10",
           "--roots", "2", "--tdm", "--scf-energies", "--scf-cycles", "--orbitals"] + list(extra)
    if zipped:
        cmd.append("--zipped")
    status = os.path.join(work, "execution_status.dat")

    def clean():
        for name in os.listdir(folder):
            if name.startswith("freqgap"):
                os.remove(os.path.join(folder, name))
        if os.path.exists(status):
            os.remove(status)

    def check(proc):
        ev = os.path.join(folder, "freqgapEV.1")
        if not os.path.isfile(ev) or os.path.getsize(ev) == 0:
            fail("ev-extract on %s exited 0 but wrote no freqgapEV.1\n%s" % (
                folder, proc.stderr.decode(errors="replace")[-2000:]))
        with open(ev, "rb") as f:
            lines = f.read().count(b"\n")
        if lines != n:
            fail("%s has %d lines, expected %d (one per file)" % (ev, lines, n))
        if not os.path.isfile(status):
            fail("ev-extract wrote no execution_status.dat in %s" % work)
        with open(status, "rb") as f:
            if b"FATAL ERROR" in f.read():
                fail("%s reports a FATAL ERROR" % status)

    return lambda: timed(cmd, work, check), clean


def cclib_available():
    probe = [SYSTEM_PYTHON, "-c", "import cclib"]
    if not os.path.exists(SYSTEM_PYTHON):
        return False
    if subprocess.run(probe, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                      timeout=120).returncode == 0:
        return True
    if os.geteuid() == 0 and shutil.which("apt-get"):
        print("python3-cclib missing: apt-get install -y python3-cclib", flush=True)
        subprocess.run(["apt-get", "install", "-y", "python3-cclib"], stdout=subprocess.DEVNULL,
                       timeout=1800)
        return subprocess.run(probe, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                              timeout=120).returncode == 0
    return False


def cclib_loop(folder, count):
    proc = subprocess.run([SYSTEM_PYTHON, "-c", CCLIB_LOOP, folder, str(count)],
                          stdout=subprocess.PIPE, stderr=subprocess.PIPE, timeout=4 * TIMEOUT)
    if proc.returncode != 0:
        fail("cclib loop exited with %d\n%s" % (proc.returncode,
                                                proc.stderr.decode(errors="replace")[-2000:]))
    seconds, good = proc.stdout.decode().split()
    if int(good) != count:
        fail("cclib found excited states in %s of %d files" % (good, count))
    return float(seconds)


def main():
    if len(sys.argv) < 3:
        fail("usage: ev_extract_bench.py QUILLMARK_CLI WORK_DIR [N=2000] [RUNS=3] [BASELINE_CLI]")
    cli, work = os.path.abspath(sys.argv[1]), os.path.abspath(sys.argv[2])
    n = int(sys.argv[3]) if len(sys.argv) > 3 else 2000
    runs = int(sys.argv[4]) if len(sys.argv) > 4 else 3
    baseline = os.path.abspath(sys.argv[5]) if len(sys.argv) > 5 else None
    if n < 1 or runs < 1:
        fail("N and RUNS must be 1 or more")
    if not os.access(cli, os.X_OK):
        fail("%s is not an executable" % cli)
    plain, zipped = os.path.join(work, "plain"), os.path.join(work, "gzip")
    g16 = os.path.join(work, "plain-g16")
    os.makedirs(work, exist_ok=True)
    ensure_series(plain, n, False)
    ensure_series(zipped, n, True)
    have_g16 = os.path.isfile(G16_TEMPLATE)
    if have_g16:
        ensure_series(g16, n, False, os.path.abspath(G16_TEMPLATE))
    plain_names = series_names(n, ".gout")
    gz_names = series_names(n, ".gout.gz")
    cat_cmd = ["cat"] + plain_names
    zcat_cmd = ["zcat"] + gz_names
    # One untimed pass over every series so every case starts with a warm page cache.
    timed(cat_cmd, plain)
    timed(zcat_cmd, zipped)
    if have_g16:
        timed(cat_cmd, g16)

    rows = {}
    rows["cat"] = median_of(runs, lambda: timed(cat_cmd, plain))
    # The plain case without and with the tables (and with the baseline build), in turns, so a
    # machine shared with other work slows each alike.
    tables = ["--table", os.path.join(work, "results.csv"), "--states-table",
              os.path.join(work, "states.csv"), "--skip-failed"]
    cases = {"ev": ev_extract_case(cli, work, plain, n, ".gout", False),
             "ev_tables": ev_extract_case(cli, work, plain, n, ".gout", False, tables)}
    if baseline:
        cases["ev_base"] = ev_extract_case(baseline, work, plain, n, ".gout", False)
    times = {key: [] for key in cases}
    for _ in range(runs):
        for key, (run, clean) in cases.items():
            clean()
            times[key].append(run())
    for key in cases:
        rows[key] = statistics.median(times[key])
    rows["zcat"] = median_of(runs, lambda: timed(zcat_cmd, zipped))
    run, clean = ev_extract_case(cli, work, zipped, n, ".gout.gz", True)
    rows["ev_gz"] = median_of(runs, run, clean)
    if have_g16:
        rows["cat_g16"] = median_of(runs, lambda: timed(cat_cmd, g16))
        run, clean = ev_extract_case(cli, work, g16, n, ".gout", False)
        rows["ev_g16"] = median_of(runs, run, clean)
    have_orca = os.path.isfile(ORCA_TEMPLATE)
    if have_orca:
        orca = os.path.join(work, "plain-orca6")
        ensure_orca_series(orca, n)
        orca_names = ["orca%d.out" % i for i in range(1, n + 1)]
        timed(["cat"] + orca_names, orca)
        rows["cat_orca"] = median_of(runs, lambda: timed(["cat"] + orca_names, orca))
        run, clean = ev_extract_case(cli, work, orca, n, ".out", False, prefix="orca", root_end=10)
        rows["ev_orca"] = median_of(runs, run, clean)

    cclib_note = None
    if cclib_available():
        probe = min(CCLIB_PROBE, n)
        estimate = cclib_loop(plain, probe) * n / probe
        count = n
        if estimate > CCLIB_LIMIT_SECONDS and n > CCLIB_SUBSET:
            count = CCLIB_SUBSET
            cclib_note = ("cclib estimated at %.0f s for %d files: timed on the first %d and "
                          "scaled linearly to %d" % (estimate, n, count, n))
        rows["cclib"] = median_of(runs, lambda: cclib_loop(plain, count)) * n / count
    else:
        cclib_note = "python3-cclib not available for %s - no comparison" % SYSTEM_PYTHON

    size_mb = sum(os.path.getsize(os.path.join(plain, f)) for f in plain_names) / 1e6
    gz_mb = sum(os.path.getsize(os.path.join(zipped, f)) for f in gz_names) / 1e6
    print("ev-extract benchmark: %d files, %.1f MB plain, %.1f MB gzip; median of %d runs, "
          "warm page cache" % (n, size_mb, gz_mb, runs))
    if have_g16:
        g16_mb = sum(os.path.getsize(os.path.join(g16, f)) for f in plain_names) / 1e6
        print("  Gaussian 16 series: %d files, %.1f MB plain" % (n, g16_mb))
    labels = [("cat", "cat, plain files to /dev/null"),
              ("ev_base", "baseline build ev-extract, plain"),
              ("ev", "quillmark-cli ev-extract, plain"),
              ("ev_tables", "  the same with both tables, --skip-failed"),
              ("zcat", "zcat, gzip files to /dev/null"),
              ("ev_gz", "quillmark-cli ev-extract, gzip"),
              ("cat_g16", "cat, Gaussian 16 plain files to /dev/null"),
              ("ev_g16", "quillmark-cli ev-extract, Gaussian 16 plain"),
              ("cclib", "cclib.io.ccread loop, plain" + (" (scaled)" if cclib_note and
                                                         "scaled" in cclib_note else ""))]
    for key, label in labels:
        if key in rows:
            print("  %-44s %9.3f s  %8.2f ms/file" % (label, rows[key], 1000 * rows[key] / n))
    print("  %-44s %9.2f x" % ("ev-extract / cat", rows["ev"] / rows["cat"]))
    print("  %-44s %9.2f x" % ("with tables / without", rows["ev_tables"] / rows["ev"]))
    if "ev_base" in rows:
        print("  %-44s %9.2f x" % ("with tables / baseline", rows["ev_tables"] / rows["ev_base"]))
    print("  %-44s %9.2f x" % ("ev-extract (gzip) / zcat", rows["ev_gz"] / rows["zcat"]))
    if have_g16:
        print("  %-44s %9.2f x" % ("ev-extract (Gaussian 16) / cat", rows["ev_g16"] / rows["cat_g16"]))
        print("  %-44s %9.2f x" % ("ev-extract Gaussian 16 / Gaussian 03", rows["ev_g16"] / rows["ev"]))
    else:
        print("  note: no Gaussian 16 template at %s - no Gaussian 16 series" % G16_TEMPLATE)
    if have_orca:
        orca_mb = sum(os.path.getsize(os.path.join(orca, f)) for f in orca_names) / 1e6
        print("  ORCA 6 series: %d files, %.1f MB plain" % (n, orca_mb))
        print("  %-44s %9.3f s" % ("cat, ORCA 6 plain files to /dev/null", rows["cat_orca"]))
        print("  %-44s %9.3f s" % ("quillmark-cli ev-extract, ORCA 6 plain", rows["ev_orca"]))
        if have_g16:
            per_mb_orca = rows["ev_orca"] / orca_mb
            per_mb_g16 = rows["ev_g16"] / g16_mb
            print("  %-44s %9.2f ms/MB" % ("ev-extract ORCA 6, per MB", 1000 * per_mb_orca))
            print("  %-44s %9.2f ms/MB" % ("ev-extract Gaussian 16, per MB", 1000 * per_mb_g16))
            print("  %-44s %9.2f x" % ("ORCA 6 / Gaussian 16, per MB", per_mb_orca / per_mb_g16))
    if "cclib" in rows:
        print("  %-44s %9.2f x" % ("cclib / ev-extract", rows["cclib"] / rows["ev"]))
    if cclib_note:
        print("  note: " + cclib_note)


if __name__ == "__main__":
    main()
