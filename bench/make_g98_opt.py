#!/usr/bin/env python3
"""Writes a Gaussian 98 geometry optimisation output of about SIZE megabytes.

Each optimisation step repeats the layout of a real Gaussian 98 step: the Input orientation
and Standard orientation tables, rotational constants, the SCF summary and a Mulliken charge
block, for a 30-atom molecule whose coordinates drift a little from step to step.

usage: make_g98_opt.py OUTPUT [SIZE_MB]
"""
import math
import sys

ATOMS = [6, 6, 6, 6, 6, 6, 1, 1, 1, 1, 1, 8, 7, 6, 1, 1, 1, 6, 8, 1,
         6, 6, 1, 1, 17, 9, 1, 6, 1, 1]
RULE = " " + "-" * 69


def table(title, step):
    lines = [" " * 25 + title + " " * 25, RULE,
             " Center     Atomic     Atomic              Coordinates (Angstroms)",
             " Number     Number      Type              X           Y           Z", RULE]
    for i, z in enumerate(ATOMS):
        angle = 0.7 * i + 0.0001 * step
        x = 3.2 * math.cos(angle) + 0.00001 * step
        y = 3.2 * math.sin(angle) - 0.00002 * step
        zc = 0.45 * (i % 5) - 0.9
        lines.append("%5d%11d%14d    %12.6f%12.6f%12.6f" % (i + 1, z, 0, x, y, zc))
    lines.append(RULE)
    return lines


def step_text(step):
    out = [" Berny optimization.", " Step number %4d out of a maximum of  200" % step]
    out += table("Input orientation:   ", step)
    out += table("Standard orientation:", step)
    out.append(" Rotational constants (GHZ):      1.2345678      0.9876543      0.6543210")
    out.append(" SCF Done:  E(RB3LYP) =  -1234.56789012     A.U. after   %2d cycles" % (8 + step % 5))
    out.append(" Mulliken atomic charges:")
    out.append("              1")
    for i, z in enumerate(ATOMS):
        out.append("%6d  %-2s  %11.6f" % (i + 1, "XX", 0.01 * ((i * 7 + step) % 40 - 20)))
    for i in range(0, 1200, 8):
        out.append(" Alpha  occ. eigenvalues --" + "".join("%10.5f" % (-10.0 + 0.001 * (i + k + step % 7))
                                                        for k in range(5)))
    out.append(" Leave Link  601")
    return "\n".join(out) + "\n"


def main():
    path = sys.argv[1]
    size = float(sys.argv[2]) if len(sys.argv) > 2 else 100.0
    target = int(size * 1024 * 1024)
    written = 0
    with open(path, "w", newline="\n") as f:
        head = ("\n Entering Gaussian System, Link 0=g98\n Input=opt.com\n Output=opt.log\n"
                " ***************************************************\n"
                " Gaussian 98:  x86-Linux-G98RevA.7 11-Apr-1999\n"
                " Copyright (c) 1988,1990,1992,1993,1995,1998 Gaussian, Inc.\n"
                " #P B3LYP/6-31G(d) Opt\n Charge =  0 Multiplicity = 1\n")
        f.write(head)
        written += len(head)
        step = 0
        while written < target:
            step += 1
            text = step_text(step)
            f.write(text)
            written += len(text)
        f.write(" Normal termination of Gaussian 98.\n")
    print("%s: %d steps, %.1f MB" % (path, step, written / 1048576.0))


if __name__ == "__main__":
    main()
