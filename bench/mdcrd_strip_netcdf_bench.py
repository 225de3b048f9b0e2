#!/usr/bin/env python3
"""Times `quillmark-cli mdcrd-strip` on a generated 1 GB Amber NetCDF trajectory.

Usage: mdcrd_strip_netcdf_bench.py QUILLMARK_CLI WORK_DIR

Strips half the atoms (the first half, box kept) to NetCDF beside `cp` and `dd` of the same
file, and to text beside our text-to-text strip of the same frames (the trajectory written as
text first), and beside mdtraj (Debian's python3-mdtraj: load_netcdf with the same atoms, save_netcdf).
Reports the median wall and CPU times (user + system) of three paired runs, mdtraj once, and
our peak memory; checks our NetCDF output against mdtraj's reading of the input. Never fails
on speed; exits 1 only when outputs disagree.
"""
import os
import statistics
import subprocess
import sys
import tempfile

ATOMS = 20000
TARGET_BYTES = 1000 * 1000 * 1000
RUNS = 3
SYSTEM_PYTHON = "/usr/bin/python3"  # Debian's own, which sees numpy, scipy and mdtraj

MAKE_INPUT = """
import sys, numpy as np
from scipy.io import netcdf_file
atoms, frames, path = int(sys.argv[1]), int(sys.argv[2]), sys.argv[3]
f = netcdf_file(path, "w", version=2)
f.Conventions = b"AMBER"; f.ConventionVersion = b"1.0"; f.program = b"bench"
f.programVersion = b"1"; f.title = b"trajectory generated for the benchmark"
f.createDimension("frame", None); f.createDimension("spatial", 3)
f.createDimension("atom", atoms); f.createDimension("cell_spatial", 3)
f.createDimension("cell_angular", 3); f.createDimension("label", 5)
f.createVariable("spatial", "c", ("spatial",))[:] = np.array(list(b"xyz"), "S1")
t = f.createVariable("time", "f4", ("frame",)); t.units = b"picosecond"
c = f.createVariable("coordinates", "f4", ("frame", "atom", "spatial")); c.units = b"angstrom"
l = f.createVariable("cell_lengths", "f8", ("frame", "cell_spatial")); l.units = b"angstrom"
a = f.createVariable("cell_angles", "f8", ("frame", "cell_angular")); a.units = b"degree"
rng = np.random.default_rng(7)
block = rng.uniform(-99, 99, (16, atoms, 3)).astype("f4")
for n in range(frames):
    c[n] = block[n % 16]
    t[n] = n
    l[n] = (80.123, 80.123, 80.123)
    a[n] = (90.0, 90.0, 90.0)
f.close()
"""

MDTRAJ = """
import sys, mdtraj as md
top = md.Topology()
chain = top.add_chain()
for i in range(%d):
    top.add_atom("C", md.element.carbon, top.add_residue("UNK", chain))
md.load_netcdf(sys.argv[1], top=top, atom_indices=range(%d)).save_netcdf(sys.argv[2])
""" % (ATOMS, ATOMS // 2)

COMPARE = """
import sys, numpy as np
from scipy.io import netcdf_file
a = netcdf_file(sys.argv[1], mmap=True).variables["coordinates"]
b = netcdf_file(sys.argv[2], mmap=True).variables["coordinates"]
worst = 0.0
for n in range(0, a.shape[0], max(1, a.shape[0] // 50)):
    worst = max(worst, float(np.abs(a[n, : b.shape[1]] - b[n]).max()))
print(b.shape[0] == a.shape[0] and b.shape[1] == %d and worst == 0.0)
""" % (ATOMS // 2)


def timed(argv):
    """Wall, CPU (user + system) and peak memory (MB) of one run."""
    with tempfile.NamedTemporaryFile("r") as report:
        result = subprocess.run(["/usr/bin/time", "-o", report.name, "-f", "%e %U %S %M"] + argv,
                                stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
        if result.returncode != 0:
            sys.exit("%s failed: %s" % (argv, result.stderr.decode(errors="replace")))
        wall, user, system, kb = report.read().split()[-4:]
    return float(wall), float(user) + float(system), int(kb) / 1024


def medians(runs):
    return tuple(statistics.median(r[i] for r in runs) for i in range(3))


def main():
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    cli, work = sys.argv[1], sys.argv[2]
    os.makedirs(work, exist_ok=True)
    data = os.path.join(work, "strip_input.nc")
    frames = TARGET_BYTES // (12 * ATOMS)
    if not os.path.exists(data) or os.path.getsize(data) < TARGET_BYTES:
        subprocess.run([SYSTEM_PYTHON, "-c", MAKE_INPUT, str(ATOMS), str(frames), data],
                       check=True)
    text = os.path.join(work, "strip_input.crd")
    if not os.path.exists(text):
        subprocess.run([cli, "mdcrd-strip", "--input", data, "--output", text, "--first", "1",
                        "--last", str(ATOMS), "--keep-box"], check=True,
                       stderr=subprocess.DEVNULL)
    print("input: %s (%.0f MB, %d atoms, %d frames, box); its text form %.0f MB; the machine "
          "is shared, medians of %d paired runs" % (data, os.path.getsize(data) / 1e6, ATOMS,
                                                    frames, os.path.getsize(text) / 1e6, RUNS))
    half = ["--first", "1", "--last", str(ATOMS // 2), "--keep-box"]
    out_nc = os.path.join(work, "strip_half.nc")
    out_crd = os.path.join(work, "strip_half.crd")
    copy = os.path.join(work, "strip_copy.nc")
    rows = {"to NetCDF": [], "cp": [], "dd bs=4M": [], "to text": [], "text to text": []}
    for _ in range(RUNS):
        # Every output is new: no run truncates or replaces the one before it.
        for old in (out_nc, out_crd, copy):
            if os.path.exists(old):
                os.remove(old)
        rows["to NetCDF"].append(timed([cli, "mdcrd-strip", "--input", data, "--output",
                                        out_nc] + half))
        rows["cp"].append(timed(["cp", data, copy]))
        os.remove(copy)
        # cp copies inside the kernel (copy_file_range); dd reads every byte into memory and
        # writes it out again, as any program that changes the data must.
        rows["dd bs=4M"].append(timed(["dd", "if=" + data, "of=" + copy, "bs=4M",
                                       "status=none"]))
        rows["to text"].append(timed([cli, "mdcrd-strip", "--input", data, "--output",
                                      out_crd] + half))
        os.remove(out_crd)
        rows["text to text"].append(timed([cli, "mdcrd-strip", "--input", text, "--output",
                                           out_crd, "--atoms", str(ATOMS)] + half))
    os.remove(copy)
    got = {k: medians(v) for k, v in rows.items()}
    for name, (wall, cpu, mb) in got.items():
        print("%-14s wall %7.2f s  cpu %7.2f s  peak %7.0f MB" % (name, wall, cpu, mb))
    for base in ("cp", "dd bs=4M"):
        print("NetCDF out / %s: wall %.2f, cpu %.2f" % (base, got["to NetCDF"][0] / got[base][0],
                                                        got["to NetCDF"][1] / got[base][1]))
    print("text out / text-to-text: wall %.2f, cpu %.2f"
          % (got["to text"][0] / got["text to text"][0],
             got["to text"][1] / got["text to text"][1]))
    probe = subprocess.run([SYSTEM_PYTHON, "-c", "import mdtraj"], stdout=subprocess.DEVNULL,
                           stderr=subprocess.DEVNULL)
    if probe.returncode != 0:
        print("mdtraj: python3-mdtraj missing, skipped")
    else:
        theirs = os.path.join(work, "strip_mdtraj.nc")
        wall, cpu, mb = timed([SYSTEM_PYTHON, "-c", MDTRAJ, data, theirs])
        print("%-14s wall %7.2f s  cpu %7.2f s  peak %7.0f MB   (mdtraj / ours: wall %.1f)"
              % ("mdtraj", wall, cpu, mb, wall / got["to NetCDF"][0]))
        os.remove(theirs)
    same = subprocess.run([SYSTEM_PYTHON, "-c", COMPARE, data, out_nc], capture_output=True,
                          text=True).stdout.strip()
    print("our NetCDF output holds the input's first half, value for value: %s" % same)
    if same != "True":
        sys.exit("outputs differ")


if __name__ == "__main__":
    main()
