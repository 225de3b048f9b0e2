#!/usr/bin/env python3
"""Writes N ORCA TD-DFT outputs FOLDER/orcaK.out (K = 1..N) from one real ORCA output TEMPLATE,
each with its own excitation energies, strengths and transition dipoles, as the snapshots of a
trajectory differ: every number of the state lines and of the electric dipole spectrum's rows
is moved by a small random amount and written back in its own width, so the layout stays
exactly ORCA's.

usage: make_orca_series.py FOLDER N [--template FILE]
"""
import os
import random
import re
import sys

DEFAULT_TEMPLATE = "/work/shared/testdata/real/orca/cclib_ORCA6_dvb_td.out"
NUMBER = re.compile(r"-?\d+\.\d+")
SPECTRUM = "ABSORPTION SPECTRUM VIA TRANSITION ELECTRIC DIPOLE MOMENTS"


def moved(match, rng):
    """The number moved by up to 2 % and printed with as many decimals, in the same width."""
    text = match.group(0)
    decimals = len(text) - text.index(".") - 1
    value = float(text) * (1 + rng.uniform(-0.02, 0.02))
    out = "%.*f" % (decimals, value)
    return out if len(out) <= len(text) else text


def perturbable_lines(lines):
    """Indexes of the state lines and of the spectrum's rows."""
    marked = []
    in_spectrum = False
    for i, line in enumerate(lines):
        if line.startswith("STATE "):
            marked.append(i)
        elif SPECTRUM in line:
            in_spectrum = True
            skip = 4
        elif in_spectrum:
            if skip:
                skip -= 1
            elif line.strip() and "spin forbidden" not in line:
                marked.append(i)
            else:
                in_spectrum = False
    return marked


def main():
    args = [a for a in sys.argv[1:] if not a.startswith("--")]
    template = DEFAULT_TEMPLATE
    if "--template" in sys.argv:
        template = sys.argv[sys.argv.index("--template") + 1]
        args.remove(template)
    folder, n = args[0], int(args[1])
    os.makedirs(folder, exist_ok=True)
    with open(template) as f:
        lines = f.read().split("\n")
    marked = perturbable_lines(lines)
    for k in range(1, n + 1):
        rng = random.Random(k)
        out = list(lines)
        for i in marked:
            head = 12 if out[i].startswith("STATE ") else 0  # keep the state number as it is
            out[i] = out[i][:head] + pad_same(out[i][head:], rng)
        with open(os.path.join(folder, "orca%d.out" % k), "w") as f:
            f.write("\n".join(out))


def pad_same(text, rng):
    """Every number of `text` moved, each kept in its own columns."""
    pieces, last = [], 0
    for m in NUMBER.finditer(text):
        pieces.append(text[last:m.start()])
        new = moved(m, rng)
        pieces.append(new.rjust(len(m.group(0))))
        last = m.end()
    pieces.append(text[last:])
    return "".join(pieces)


if __name__ == "__main__":
    main()
