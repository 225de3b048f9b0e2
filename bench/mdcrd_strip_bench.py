#!/usr/bin/env python3
"""Times `quillmark-cli mdcrd-strip` on a generated 1 GB periodic Amber trajectory.

Usage: mdcrd_strip_bench.py QUILLMARK_CLI WORK_DIR

Strips half the atoms (the first half, box lines kept) and compares the time with
`cat IN > OUT` (the floor: one copy of the whole file), `dd` (a copy through user memory) and,
when Debian's python3-mdtraj is installed, mdtraj's load_mdcrd / atom_slice / save_mdcrd on
the same file. Reports the median wall time of three runs (mdtraj runs once) and checks the kept
coordinates against mdtraj's output. Never fails on speed; exits 1 only when outputs disagree.
"""
import os
import random
import subprocess
import sys

from timing import median_time

ATOMS = 20000
TARGET_BYTES = 1000 * 1000 * 1000
BOX = "  80.123  80.123  80.123\n"
RUNS = 3  # median_time's default
# Debian's own interpreter, which sees the python3-mdtraj package.
SYSTEM_PYTHON = "/usr/bin/python3"


def frame_text(rng):
    fields = ["%8.3f" % rng.uniform(-99, 99) for _ in range(3 * ATOMS)]
    lines = ["".join(fields[i:i + 10]) for i in range(0, len(fields), 10)]
    return "\n".join(lines) + "\n" + BOX


def make_input(path):
    if os.path.exists(path) and os.path.getsize(path) >= TARGET_BYTES:
        return
    rng = random.Random(7)
    frames = [frame_text(rng).encode("ascii") for _ in range(16)]
    written = 0
    with open(path + ".part", "wb") as out:
        out.write(b"trajectory generated for the benchmark\n")
        n = 0
        while written < TARGET_BYTES:
            out.write(frames[n % len(frames)])
            written += len(frames[0])
            n += 1
    os.replace(path + ".part", path)


MDTRAJ_SCRIPT = """
import sys, mdtraj as md
top = md.Topology()
chain = top.add_chain()
for i in range(%d):
    residue = top.add_residue("UNK", chain)
    top.add_atom("C", md.element.carbon, residue)
traj = md.load_mdcrd(sys.argv[1], top=top)
traj.atom_slice(range(%d)).save_mdcrd(sys.argv[2])
""" % (ATOMS, ATOMS // 2)


def first_frame_fields(path, atoms, skip_title=True):
    fields = []
    with open(path) as f:
        if skip_title:
            f.readline()
        while len(fields) < 3 * atoms:
            line = f.readline().rstrip("\n")
            fields += [float(line[i:i + 8]) for i in range(0, len(line), 8)]
    return fields


def main():
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    cli, work = sys.argv[1], sys.argv[2]
    os.makedirs(work, exist_ok=True)
    data = os.path.join(work, "mdcrd_input.crd")
    make_input(data)
    size = os.path.getsize(data)
    print("input: %s (%.0f MB, %d atoms, box lines), median of %d runs"
          % (data, size / 1e6, ATOMS, RUNS))
    ours = os.path.join(work, "mdcrd_ours.crd")
    t_ours = median_time([cli, "mdcrd-strip", "--input", data, "--output", ours, "--atoms",
                    str(ATOMS), "--first", "1", "--last", str(ATOMS // 2), "--keep-box"])
    copy = os.path.join(work, "mdcrd_copy.crd")
    t_cat = median_time(["cat", data], copy)
    # cat copies inside the kernel (copy_file_range) and never reads the bytes itself; dd
    # reads every byte into memory and writes it out again, as any filter must.
    t_dd = median_time(["dd", "if=" + data, "of=" + copy, "bs=1M", "status=none"])
    os.remove(copy)
    print("%-34s %8.2f s" % ("quillmark-cli mdcrd-strip", t_ours))
    print("%-34s %8.2f s   (ours / cat = %.2f)" % ("cat IN > OUT", t_cat, t_ours / t_cat))
    print("%-34s %8.2f s   (ours / dd = %.2f)" % ("dd if=IN of=OUT bs=1M", t_dd, t_ours / t_dd))
    probe = subprocess.run([SYSTEM_PYTHON, "-c", "import mdtraj"], stdout=subprocess.DEVNULL,
                           stderr=subprocess.DEVNULL)
    if probe.returncode != 0:
        print("mdtraj: python3-mdtraj missing (apt-get install -y python3-mdtraj), skipped")
        return
    theirs = os.path.join(work, "mdcrd_mdtraj.crd")
    t_md = median_time([SYSTEM_PYTHON, "-c", MDTRAJ_SCRIPT, data, theirs], runs=1)
    print("%-34s %8.2f s   (mdtraj / ours = %.1f)" % ("mdtraj load/atom_slice/save", t_md,
                                                    t_md / t_ours))
    a = first_frame_fields(ours, ATOMS // 2)
    b = first_frame_fields(theirs, ATOMS // 2)
    worst = max(abs(x - y) for x, y in zip(a, b))
    print("first frame, largest difference from mdtraj's output: %.4f" % worst)
    os.remove(theirs)
    if len(a) != len(b) or worst > 0.0015:
        sys.exit("outputs differ")


if __name__ == "__main__":
    main()
