#!/usr/bin/env python3
"""Keeps `quillmark-cli ev-extract` byte-identical across a change to its readers: runs one
build over series made from every real Gaussian and ORCA output of the real-data folder and
from generated series, with many option sets, keeping every output folder; a second build's
folders are then compared with the first's, byte for byte.

  run CLI WORK OUT   build the series in WORK (once) and write each run's outputs, stdout,
                     stderr and exit code to OUT/<series>/<options>/
  compare OUT_A OUT_B  every file of both trees, byte for byte, after masking the status
                     log's time stamps and each tree's own root path; lists what differs and
                     exits 1 when anything does

The series: 4 copies of each real file with excited states; a series that runs into the
outputs without any, truncated copies and files with several excited-state sections (two or
three outputs one after the other); generated series (make_td_series.py) from a Gaussian 03,
a Gaussian 09 and a Gaussian 16 template, plain and gzip.

usage: ev_extract_golden.py run CLI WORK OUT [REAL_DIR]
       ev_extract_golden.py compare OUT_A OUT_B
"""
import filecmp
import gzip
import os
import re
import shutil
import subprocess
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
GENERATOR = os.path.join(HERE, "make_td_series.py")
REAL_DIR = "/work/shared/testdata/real"
TIMEOUT = 600
GENERATED = 60

TD_FILES = ["g03_td/cclibdata_G03_anth1.log", "g03_td/cclibdata_G03_CO_TD_delta.log",
            "gaussian_modern/cclib_Gaussian09_CO_TD_delta.log",
            "gaussian_modern/cclib_Gaussian16_CO_TD_delta.log",
            "gaussian_modern/cclibdata_G09_OPT_td_g09.out",
            "orca/cclib_ORCA5_dvb_td.out", "orca/cclib_ORCA6_dvb_td.out"]
OTHER_FILES = ["g98/cdk_g98.out", "g94/obtestset_phenylnitrene.g94.gal",
               "gaussian_modern/cclib_Gaussian16_dvb_gopt.out"]

WINDOW = ["--limit-low", "0", "--limit-high", "100"]
SKIP = ["--skip-failed"]
OPTION_SETS = {
    "all_outputs": ["--root-end", "5", "--limit-low", "0", "--limit-high", "15", "--roots", "2",
                    "--tdm", "--scf-energies", "--scf-cycles", "--orbitals"] + SKIP,
    "strict": ["--root-end", "5", "--roots", "2", "--tdm", "--scf-energies"] + WINDOW,
    "tables": ["--root-end", "8", "--roots", "3", "--tdm", "--table", "@/table.csv",
               "--states-table", "@/states.csv"] + WINDOW + SKIP,
    "to_last_state": ["--root-end", "all", "--roots", "2", "--tdm-separate", "--tdm",
                      "--mode", "lowest", "--states-table", "@/states.csv"] + WINDOW + SKIP,
    "last_section": ["--last-section", "--root-end", "all", "--roots", "2", "--tdm",
                     "--scf-energies", "--scf-cycles", "--table", "@/table.csv",
                     "--states-table", "@/states.csv"] + WINDOW + SKIP,
    "last_section_range": ["--last-section", "--root-start", "2", "--root-end", "5",
                           "--roots", "1", "--mode", "lowest", "--scf-cycles"] + WINDOW
                          + SKIP,
    "window": ["--empty-slots", "skip", "--root-end", "8", "--roots", "2", "--limit-low", "3",
               "--limit-high", "6", "--orbitals", "--states-table", "@/states.csv"] + SKIP,
    "orbital_mode": ["--root-end", "5", "--roots", "2", "--mode", "orbital", "--orb1",
                     "46:48", "--orb2", "47:49"] + WINDOW + SKIP,
    "tdm_angle": ["--root-end", "5", "--roots", "2", "--tdm", "--tdm-angle", "--raw-tdms"]
                 + WINDOW + SKIP,
    "rel_tdm": ["--root-end", "4", "--roots", "1", "--tdm", "--rel-tdm"] + WINDOW + SKIP,
    "one_root": ["--root-end", "24", "--roots", "1", "--tdm", "--scf-energies", "--orbitals",
                 "--table", "@/table.csv", "--states-table", "@/states.csv"] + WINDOW + SKIP,
    "defaults": [],
}


def write(path, data):
    with open(path, "wb") as f:
        f.write(data)


def series_of(folder, texts, suffix=".gout", compress=False):
    os.makedirs(folder, exist_ok=True)
    for i, text in enumerate(texts, 1):
        if compress:
            write(os.path.join(folder, "gap%d%s.gz" % (i, suffix)), gzip.compress(text, 6, mtime=0))
        else:
            write(os.path.join(folder, "gap%d%s" % (i, suffix)), text)


def build_series(work, real):
    """{name: (folder, count, suffix, zipped)}, made once."""
    series = {}
    read = {f: open(os.path.join(real, f), "rb").read() for f in TD_FILES + OTHER_FILES}
    for f in TD_FILES:
        name = "real_" + os.path.splitext(os.path.basename(f))[0]
        series[name] = (os.path.join(work, name), 4, ".gout", False)
        if not os.path.isdir(series[name][0]):
            series_of(series[name][0], [read[f]] * 4)
    mixed = [read[f] for f in TD_FILES[:5]]
    mixed += [read[f] for f in OTHER_FILES]
    mixed += [read[f][:len(read[f]) * k // 7] for f in TD_FILES[:4] for k in range(1, 7)]
    mixed += [read[f].rstrip(b"\n") for f in TD_FILES]
    mixed += [read[f].upper() for f in TD_FILES[:4]]
    series["mixed"] = (os.path.join(work, "mixed"), len(mixed), ".gout", False)
    sections = [read[a] + read[b] for a in TD_FILES[:5] for b in TD_FILES[:5]]
    sections += [read[a] * 3 for a in TD_FILES]
    series["sections"] = (os.path.join(work, "sections"), len(sections), ".gout", False)
    for name, texts in (("mixed", mixed), ("sections", sections)):
        if not os.path.isdir(series[name][0]):
            series_of(series[name][0], texts)
    for name, template in (("gen_g03", "g03_td/cclibdata_G03_anth1.log"),
                           ("gen_g09", "gaussian_modern/cclib_Gaussian09_CO_TD_delta.log"),
                           ("gen_g16", "gaussian_modern/cclib_Gaussian16_CO_TD_delta.log")):
        for zipped in (False, True):
            key = name + ("_gz" if zipped else "")
            folder = os.path.join(work, key)
            series[key] = (folder, GENERATED, ".gout.gz" if zipped else ".gout", zipped)
            if not os.path.isdir(folder):
                subprocess.run([sys.executable, GENERATOR, folder, str(GENERATED),
                                "--template", os.path.join(real, template)]
                               + (["--gzip"] if zipped else []), check=True, timeout=TIMEOUT)
    return series


def run(cli, work, out, real):
    series = build_series(work, real)
    runs = 0
    for name, (folder, count, suffix, zipped) in sorted(series.items()):
        for opt_name, options in OPTION_SETS.items():
            target = os.path.join(out, name, opt_name)
            shutil.rmtree(target, ignore_errors=True)
            os.makedirs(target)
            cmd = [cli, "ev-extract", "--dir", folder, "--prefix", "gap", "--suffix", suffix,
                   "--end", str(count), "--output-dir", target]
            cmd += ["--zipped"] if zipped else []
            cmd += [o.replace("@", target) if o.startswith("@/") else o for o in options]
            proc = subprocess.run(cmd, capture_output=True, timeout=TIMEOUT)
            write(os.path.join(target, "_stdout"), proc.stdout)
            write(os.path.join(target, "_stderr"), proc.stderr)
            write(os.path.join(target, "_rc"), b"%d\n" % proc.returncode)
            runs += 1
    print("%d runs over %d series written to %s" % (runs, len(series), out))


STAMP = re.compile(rb"\d\d:\d\d:\d\d \d\d/\d\d/\d\d\d\d")


def masked(path, root):
    with open(path, "rb") as f:
        data = f.read()
    return STAMP.sub(b"<time>", data.replace(os.path.abspath(root).encode(), b"<out>"))


def compare(a, b):
    files = set()
    for root in (a, b):
        for folder, _, names in os.walk(root):
            files.update(os.path.relpath(os.path.join(folder, n), root) for n in names)
    differ = []
    for rel in sorted(files):
        pa, pb = os.path.join(a, rel), os.path.join(b, rel)
        if not (os.path.isfile(pa) and os.path.isfile(pb)):
            differ.append(rel + " (only in one tree)")
        elif not filecmp.cmp(pa, pb, shallow=False) and masked(pa, a) != masked(pb, b):
            differ.append(rel)
    runs = len({os.path.dirname(f) for f in files})
    print("%d files of %d runs compared, %d differ" % (len(files), runs, len(differ)))
    for rel in differ:
        print("  " + rel)
    return 1 if differ else 0


def main():
    if len(sys.argv) >= 5 and sys.argv[1] == "run":
        run(os.path.abspath(sys.argv[2]), os.path.abspath(sys.argv[3]),
            os.path.abspath(sys.argv[4]), sys.argv[5] if len(sys.argv) > 5 else REAL_DIR)
    elif len(sys.argv) == 4 and sys.argv[1] == "compare":
        sys.exit(compare(sys.argv[2], sys.argv[3]))
    else:
        sys.stderr.write(__doc__)
        sys.exit(2)


if __name__ == "__main__":
    main()
