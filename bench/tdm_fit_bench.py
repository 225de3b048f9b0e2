#!/usr/bin/env python3
"""Times the TDM alignment: one run of our fitting program per structure.

Writes N Gaussian TD outputs (default 1000) whose 50-atom structures are rotated copies of one
structure, with their transition dipoles rotated alike, then times
`quillmark-cli ev-extract --rel-tdm` (two roots, status log on) beside the same extraction
without the alignment, and prints the wall time per file of the fits.

usage: tdm_fit_bench.py QUILLMARK_CLI WORK_DIR [N=1000]
"""
import math
import os
import random
import subprocess
import sys
import time

ATOMS = 50


def rotation(angle, axis):
    n = math.sqrt(sum(a * a for a in axis))
    x, y, z = (a / n for a in axis)
    c, s = math.cos(angle), math.sin(angle)
    t = 1 - c
    return [[t * x * x + c, t * x * y - s * z, t * x * z + s * y],
            [t * x * y + s * z, t * y * y + c, t * y * z - s * x],
            [t * x * z - s * y, t * y * z + s * x, t * z * z + c]]


def apply(m, v):
    return [m[i][0] * v[0] + m[i][1] * v[1] + m[i][2] * v[2] for i in range(3)]


def td_output(structure, tdms):
    lines = [" Entering Gaussian System", " Charge =  0 Multiplicity = 1"]
    lines += [" C   %12.6f%12.6f%12.6f " % tuple(p) for p in structure]
    lines += [" ", " Leave Link  101 at Fri",
              " SCF Done:  E(RB+HF-LYP) =  -539.517603521     A.U. after   14 cycles",
              " Ground to excited state Transition electric dipole moments (Au):",
              "       state          X           Y           Z          Osc."]
    for r, (t, osc) in enumerate(tdms, 1):
        lines.append("%10d%15.4f%12.4f%12.4f%12.4f" % (r, t[0], t[1], t[2], osc))
    lines.append(" Excitation energies and oscillator strengths:")
    for r, (t, osc) in enumerate(tdms, 1):
        energy = 3.0 + 0.5 * r
        lines.append(" Excited State%4d:   Singlet-?Sym%10.4f eV%8.2f nm  f=%.4f"
                     % (r, energy, 1239.84 / energy, osc))
        lines.append("      23 ->25         0.65000")
        lines.append(" ")
    lines.append(" Normal termination of Gaussian 03.")
    return "\n".join(lines) + "\n"


def make_series(folder, n):
    os.makedirs(folder, exist_ok=True)
    rng = random.Random(7)
    base = [[rng.uniform(-6, 6) for _ in range(3)] for _ in range(ATOMS)]
    tdms = [([0.6769, 0.1, -0.658], 0.3), ([0.05, 0.0751, 0.3], 0.2)]
    for i in range(1, n + 1):
        m = rotation(0.01 * i, [1.0, 2.0, 3.0])
        text = td_output([apply(m, p) for p in base], [(apply(m, t), f) for t, f in tdms])
        with open(os.path.join(folder, "gap%d.gout" % i), "w", newline="\n") as out:
            out.write(text)
    with open(os.path.join(folder, "prmtop"), "w") as out:
        out.write("topology\n")


def timed(cmd, cwd):
    start = time.perf_counter()
    subprocess.run(cmd, cwd=cwd, check=True, stdout=subprocess.DEVNULL,
                   stderr=subprocess.DEVNULL, timeout=3600)
    return time.perf_counter() - start


def main():
    cli, work = os.path.abspath(sys.argv[1]), os.path.abspath(sys.argv[2])
    n = int(sys.argv[3]) if len(sys.argv) > 3 else 1000
    folder = os.path.join(work, "fit-series")
    if not os.path.exists(os.path.join(folder, "gap%d.gout" % n)):
        make_series(folder, n)
    common = [cli, "ev-extract", "--prefix", "gap", "--end", str(n), "--root-end", "2",
              "--limit-low", "0", "--limit-high", "10", "--roots", "2"]
    plain = min(timed(common, folder) for _ in range(2))
    fitted = min(timed(common + ["--rel-tdm", "--tdm-angle"], folder) for _ in range(2))
    print("TDM alignment: %d files of %d atoms (best of 2 runs)" % (n, ATOMS))
    print("  extraction alone                 %8.3f s" % plain)
    print("  extraction with --rel-tdm        %8.3f s" % fitted)
    print("  fitting, per file                %8.2f ms" % (1000 * (fitted - plain) / max(1, n - 1)))


if __name__ == "__main__":
    main()
