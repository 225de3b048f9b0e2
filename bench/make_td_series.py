#!/usr/bin/env python3
"""Writes a numbered series of Gaussian TD-DFT outputs gap1.gout ... gapN.gout (with --gzip:
gap1.gout.gz ...) for benchmarking `quillmark-cli ev-extract`.

Every file is a real Gaussian TD output TEMPLATE (Gaussian 03 by default; a Gaussian 09 or 16
one works the same way; read at run time, never stored in the repository) with the same
layout and LF line ends, brought to about SIZE_KB kilobytes by dropping or repeating lines of
its Davidson iteration log (which nothing here reads), and with per-file values, as if the
files were snapshots of a trajectory:

  * the excitation energies of the " Excited State   N:   Singlet-?Sym    E eV  W nm  f=F"
    lines (any multiplicity and symmetry label) drift and jitter (kept ascending); W is
    recomputed from E,
  * the X, Y and Z rows of the first "state  X  Y  Z  Osc." table (the electric transition
    dipole moments; from Gaussian 09 with a "Dip. S." column) are perturbed; F, the table's
    Osc. column and the dipole strength are recomputed from them and E (f = 2/3 E |d|^2 in
    atomic units), so the file stays self-consistent.

Each number is rewritten in place with the same number of characters and decimals, so every
line keeps its length and every field its column. The "SCF Done:" line, the "Charge =" block,
the transition lines under each state and the rest of the file are left as they are. File i
depends only on SEED and i, so runs are reproducible and a longer series extends a shorter one.

usage: make_td_series.py OUT_DIR N [--gzip] [--seed SEED] [--size-kb SIZE_KB]
                         [--template TEMPLATE]
"""
import argparse
import gzip
import math
import os
import random
import re
import sys

DEFAULT_TEMPLATE = "/work/shared/testdata/real/g03_td/cclibdata_G03_anth1.log"
HARTREE_EV = 27.211386
EV_NM = 1239.84193

STATE_RE = re.compile(r"^ Excited State +(\d+): +\S+ +(\d+\.\d+) eV +(\d+\.\d+) nm"
                      r" +f=(-?\d+\.\d+)")
TDM_HEADERS = ("       state          X           Y           Z          Osc.",
               "       state          X           Y           Z        Dip. S.      Osc.")
# state, X, Y, Z, the dipole strength from Gaussian 09 (group 5), Osc. (group 6)
TDM_ROW_RE = re.compile(r"^ +(\d+) +(-?\d+\.\d+) +(-?\d+\.\d+) +(-?\d+\.\d+)"
                        r"(?: +(-?\d+\.\d+))? +(-?\d+\.\d+)$")
NUMBER_RE = re.compile(r"-?\d+\.\d+")


def same_width(value, token):
    """value written like token: same decimals, same length, same sign."""
    decimals = len(token) - token.index(".") - 1
    step = 10.0 ** -decimals
    if token.startswith("-"):
        value = min(value, -step)
    else:
        value = max(value, 0.0)
    text = "%.*f" % (decimals, value)
    if text == "-" + "0." + "0" * decimals:
        text = "%.*f" % (decimals, -step)
    if len(text) != len(token):
        raise ValueError("cannot write %r in the width of %r" % (value, token))
    return text


def replace_spans(line, spans_and_texts):
    """line with each (start, end) span replaced by a text of the same length."""
    out = line
    for (start, end), text in spans_and_texts:
        assert len(text) == end - start, (line, text)
        out = out[:start] + text + out[end:]
    assert len(out) == len(line)
    return out


class Template:
    def __init__(self, path, size_kb):
        with open(path, "r", newline="") as f:
            text = f.read()
        if "\r" in text:
            text = text.replace("\r\n", "\n")
        self.lines = text.split("\n")  # the last element is "" after the final LF
        self._fit_size(int(size_kb * 1024) if size_kb else None)
        self._locate()

    def _davidson_range(self):
        first = next(i for i, l in enumerate(self.lines) if l.startswith(" Iteration "))
        end = next(i for i, l in enumerate(self.lines)
                   if l.startswith(" Convergence achieved on expansion vectors."))
        return first + 1, end

    def _size(self):
        return sum(len(l) + 1 for l in self.lines) - 1

    def _fit_size(self, target):
        """Drops or repeats lines of the Davidson iteration log until the size is near target."""
        if not target:
            return
        start, end = self._davidson_range()
        size = self._size()
        if size > target:
            # Drop per-root listing lines ("Root ...", "New state ...") spread over the log,
            # keeping each "Iteration" header and the lines around it.
            droppable = [i for i in range(start, end)
                         if self.lines[i].startswith((" Root ", " New state "))]
            need = size - target
            if need > sum(len(self.lines[i]) + 1 for i in droppable):
                raise ValueError("the template cannot be trimmed to %d bytes" % target)
            k = max(1, need // max(1, max(len(self.lines[i]) + 1 for i in droppable)))
            while True:  # at most len(droppable) rounds
                chosen = [droppable[j * len(droppable) // k] for j in range(k)]
                if sum(len(self.lines[i]) + 1 for i in chosen) >= need or k == len(droppable):
                    break
                k += 1
            drop = set(chosen)
            self.lines = [l for i, l in enumerate(self.lines) if i not in drop]
        elif size < target:
            block = self.lines[start:end]
            if not block:
                raise ValueError("template has no Davidson iteration log to repeat")
            extra, k = [], 0
            while size < target:
                line = block[k % len(block)]
                extra.append(line)
                size += len(line) + 1
                k += 1
            self.lines[end:end] = extra

    def _locate(self):
        self.states = []  # (line index, match)
        for i, line in enumerate(self.lines):
            m = STATE_RE.match(line)
            if m:
                self.states.append((i, m))
        if not self.states:
            raise ValueError("no Excited State lines in the template")
        header = min(i for i, l in enumerate(self.lines) if l in TDM_HEADERS)
        self.tdm_rows = {}  # state number -> (line index, match)
        for i in range(header + 1, len(self.lines)):
            m = TDM_ROW_RE.match(self.lines[i])
            if not m:
                break
            self.tdm_rows[int(m.group(1))] = (i, m)
        if not self.tdm_rows:
            raise ValueError("no transition dipole rows in the template")
        for must in ("SCF Done:", "Charge ="):
            if not any(must in l for l in self.lines):
                raise ValueError("template has no %r line" % must)

    def render(self, index, seed):
        rng = random.Random(seed * 1000003 + index)
        lines = list(self.lines)
        # A slow common drift (a vibration along the trajectory) plus per-state jitter.
        drift = 0.04 * math.sin(2 * math.pi * index / 97.0) + 0.015 * math.sin(
            2 * math.pi * index / 23.0)
        previous = 0.0
        new_e = {}
        for line_no, m in self.states:
            token = m.group(2)
            energy = float(token) + drift + rng.gauss(0.0, 0.012)
            energy = max(energy, previous + 0.0001)  # states stay in ascending order
            text = same_width(energy, token)
            previous = float(text)
            new_e[int(m.group(1))] = (line_no, m, text)
        new_f = {}
        for state, (line_no, m) in self.tdm_rows.items():
            xyz = []
            for g in (2, 3, 4):
                token = m.group(g)
                v = float(token)
                xyz.append(same_width(v * (1.0 + rng.gauss(0.0, 0.04)) + rng.gauss(0.0, 0.002),
                                      token))
            energy = float(new_e[state][2]) if state in new_e else None
            osc_token = m.group(6)
            d2 = sum(float(t) ** 2 for t in xyz)
            if energy is not None:
                osc = same_width(2.0 / 3.0 * energy / HARTREE_EV * d2, osc_token)
            else:
                osc = osc_token
            new_f[state] = osc
            spans = [(m.span(2), xyz[0]), (m.span(3), xyz[1]), (m.span(4), xyz[2]),
                     (m.span(6), osc)]
            if m.group(5) is not None:
                spans.append((m.span(5), same_width(d2, m.group(5))))
            lines[line_no] = replace_spans(lines[line_no], spans)
        for state, (line_no, m, e_text) in new_e.items():
            nm = same_width(EV_NM / float(e_text), m.group(3))
            f_text = new_f.get(state, m.group(4))
            if len(f_text) != len(m.group(4)):
                f_text = same_width(float(f_text), m.group(4))
            lines[line_no] = replace_spans(
                lines[line_no], [(m.span(2), e_text), (m.span(3), nm), (m.span(4), f_text)])
        return "\n".join(lines)


def main():
    ap = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    ap.add_argument("out_dir")
    ap.add_argument("n", type=int)
    ap.add_argument("--gzip", action="store_true", help="write gapI.gout.gz files")
    ap.add_argument("--seed", type=int, default=20240611)
    ap.add_argument("--size-kb", type=float, default=100.0,
                    help="approximate size of each file in KiB (0: the template's size)")
    ap.add_argument("--template", default=DEFAULT_TEMPLATE)
    args = ap.parse_args()
    if args.n < 1:
        sys.exit("N must be 1 or more")
    template = Template(args.template, args.size_kb)
    os.makedirs(args.out_dir, exist_ok=True)
    size = 0
    for i in range(1, args.n + 1):
        data = template.render(i, args.seed).encode("ascii")
        size = len(data)
        name = os.path.join(args.out_dir, "gap%d.gout" % i)
        if args.gzip:
            name += ".gz"
            tmp = name + ".tmp"
            with open(tmp, "wb") as raw:
                # mtime 0 and no stored name: the same bytes on every run.
                with gzip.GzipFile(filename="", mode="wb", fileobj=raw, mtime=0) as gz:
                    gz.write(data)
        else:
            tmp = name + ".tmp"
            with open(tmp, "wb") as f:
                f.write(data)
        os.replace(tmp, name)
    print("%s: %d %sfiles of %d bytes (uncompressed)" % (
        args.out_dir, args.n, "gzip " if args.gzip else "", size))


if __name__ == "__main__":
    main()
