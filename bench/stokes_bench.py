#!/usr/bin/env python3
"""Times and checks `spectrum`, `gap-fluctuations`, `tdss` and `correlate --method fft` against
an independent numpy/scipy implementation of the same definitions, on generated data.

Usage: stokes_bench.py QUILLMARK_CLI WORK_DIR [NUMPY_PYTHON]

Data (made once in WORK_DIR by NUMPY_PYTHON, default /usr/bin/python3 with Debian's numpy and
scipy):
  * an Ornstein-Uhlenbeck energy gap of 10^6 points, dt = 1 fs, tau = 100 fs, sigma = 0.05 eV
    (C(t) = sigma^2 exp(-t/tau) exactly), written as ev-extract writes freqgapEV files;
  * a states table of 2000 files x 24 states, as ev-extract --states-table writes it.
Jobs, each timed as a whole command (read, compute, write) on both sides, medians of RUNS:
  gap-fluctuations --max-lag 10000, both outputs   vs numpy rfft + the trapezoid sums
  spectrum on a 2000-point grid                    vs numpy exp over the state x grid matrix
  correlate --method fft, 10^6 values              vs scipy.signal.correlate(method='fft')
  tdss on the spectral density written above       vs numpy
and the largest differences between the two sides, relative to the scale of each result; the
statistics and S(t) also against the analytic Ornstein-Uhlenbeck forms. Reports CPU time
(user + system of the command) and wall time. Never fails on speed; exits 1 when a result
differs from numpy's by more than 1e-9 of its scale.
"""
import json
import os
import resource
import statistics
import subprocess
import sys
import time

RUNS = 5

MAKE_DATA = r"""
import sys, os, numpy as np
work = sys.argv[1]
gap = os.path.join(work, 'freqgapEV.1')
if not os.path.exists(gap):
    rng = np.random.default_rng(7)
    n, dt, tau, sigma = 10**6, 1.0, 100.0, 0.05
    keep = np.exp(-dt / tau)
    kicks = sigma * np.sqrt(1 - keep**2) * rng.standard_normal(n)
    u = np.empty(n); u[0] = sigma * rng.standard_normal()
    from scipy.signal import lfilter
    u[1:] = lfilter([1.0], [1.0, -keep], kicks[1:], zi=[keep * u[0]])[0]
    with open(gap + '.part', 'w', newline='') as out:
        for i in range(n):
            out.write(' %.15g  %.15g \r\n' % (i * dt, 2.5 + u[i]))
    os.replace(gap + '.part', gap)
table = os.path.join(work, 'states.csv')
if not os.path.exists(table):
    rng = np.random.default_rng(8)
    lines = ['file_number,file,time_fs,state,multiplicity,label,energy_ev,wavelength_nm,'
             'osc_strength,tdm_x_au,tdm_y_au,tdm_z_au,chosen_as_root\n']
    for f in range(1, 2001):
        e = np.sort(3.0 + 0.4 * rng.standard_normal(24) + np.linspace(0, 3, 24))
        osc = rng.exponential(0.1, 24)
        for s in range(24):
            lines.append('%d,run/gap%d.gout,%g,%d,Singlet,Singlet-A,%.4f,%.2f,%.4f,0.1,0.2,0.3,%s\n'
                         % (f, f, f * 0.5, s + 1, e[s], 1239.84198 / e[s], osc[s],
                            '1' if s == 0 else ''))
    with open(table + '.part', 'w') as out:
        out.writelines(lines)
    os.replace(table + '.part', table)
series = os.path.join(work, 'series.dat')
if not os.path.exists(series):
    u = np.loadtxt(gap)[:, 1]
    np.savetxt(series, u, fmt='%.15g')
"""

# The independent implementation: the definitions as written, in numpy/scipy. argv: job, then
# the job's files; prints the seconds the job took and its comparison with our output as JSON.
NUMPY_SIDE = r"""
import json, sys, time
import numpy as np
KB, CM_PER_EV, C_CM_FS, HC = 8.617333262e-5, 8065.543937, 2.99792458e-5, 1239.84198
job = sys.argv[1]
begin = time.perf_counter()
out = {}
if job == 'gap':
    gap, max_lag, ours_c, ours_j, mine_j = sys.argv[2], float(sys.argv[3]), sys.argv[4], sys.argv[5], sys.argv[6]
    data = np.loadtxt(gap)
    t, u = data[:, 0], data[:, 1]
    n = len(u); dt = (t[-1] - t[0]) / (n - 1); kt = KB * 300
    d = u - u.mean(); var = np.mean(d * d); skew = np.mean(d**3) / var**1.5
    m = min(int(np.floor(max_lag / dt)), n - 1)
    size = 1 << int(np.ceil(np.log2(2 * n - 1)))
    f = np.fft.rfft(d, size)
    c = np.fft.irfft(f * np.conj(f), size)[:m + 1] / n
    nu = np.arange(0, 4000 + 1) * 1.0
    w = 2 * np.pi * C_CM_FS * nu
    weights = np.ones(m + 1); weights[0] = weights[-1] = 0.5
    k = np.arange(m + 1)
    I = np.empty(len(nu))
    for j in range(len(nu)):
        I[j] = dt * np.sum(weights * c * np.cos(w[j] * k * dt))
    J = w * I / kt * CM_PER_EV
    cum = np.concatenate([[0], np.cumsum(np.diff(w) * (I[1:] + I[:-1]) / 2)]) / (np.pi * kt) * CM_PER_EV
    np.savetxt(mine_j, np.column_stack([nu, J, cum]))
    elapsed = time.perf_counter() - begin
    oc = np.loadtxt(ours_c, delimiter=',', skiprows=1)
    oj = np.loadtxt(ours_j)
    out = {'seconds': elapsed, 'c': float(np.max(np.abs(oc[:, 1] - c)) / c[0]),
           'j': float(np.max(np.abs(oj[:, 1] - J)) / np.max(np.abs(J))),
           'cum': float(np.max(np.abs(oj[:, 2] - cum)) / np.max(np.abs(cum))),
           'lambda_ev': var / (2 * kt), 'sigma': float(np.sqrt(var)), 'skew': float(skew),
           'analytic_c': float(np.max(np.abs(c[:301] / c[0] - np.exp(-np.arange(301) * dt / 100.0)))),
           'cum_end_over_c0': float(cum[-1] / (c[0] / (2 * kt) * CM_PER_EV))}
elif job == 'spectrum':
    table, ours, lo, hi, step = sys.argv[2], sys.argv[3], float(sys.argv[4]), float(sys.argv[5]), float(sys.argv[6])
    import csv
    with open(table) as fh:
        rows = list(csv.DictReader(fh))
    e = np.array([float(r['energy_ev']) for r in rows]); fosc = np.array([float(r['osc_strength']) for r in rows])
    nfiles = len(set(r['file'] for r in rows))
    grid = lo + step * np.arange(int(np.floor((hi + step / 2 - lo) / step)) + 1)
    s = 0.2 / (2 * np.sqrt(2 * np.log(2)))
    S = np.zeros(len(grid))
    for start in range(0, len(grid), 50):
        x = grid[start:start + 50, None] - e[None, :]
        S[start:start + 50] = (fosc[None, :] * np.exp(-x * x / (2 * s * s))).sum(axis=1) / (s * np.sqrt(2 * np.pi)) / nfiles
    eps = S / (4.319e-9 * CM_PER_EV)
    np.savetxt(ours + '.numpy', np.column_stack([grid, S, eps, S / S.max()]), delimiter=',')
    elapsed = time.perf_counter() - begin
    o = np.loadtxt(ours, delimiter=',', skiprows=1)
    out = {'seconds': elapsed, 'points': len(grid), 'grid': float(np.max(np.abs(o[:, 0] - grid))),
           's': float(np.max(np.abs(o[:, 3] - S)) / S.max()),
           'eps': float(np.max(np.abs(o[:, 4] - eps)) / eps.max()),
           'nm': float(np.max(np.abs(o[:, 1] - HC / grid) / (HC / grid)))}
elif job == 'correlate':
    series, ours = sys.argv[2], sys.argv[3]
    from scipy.signal import correlate
    x = np.loadtxt(series)
    d = x - x.sum() / (len(x) - 1)
    c = correlate(d, d, mode='full', method='fft')[len(d) - 1:]
    np.savetxt(ours + '.numpy', c)
    elapsed = time.perf_counter() - begin
    o = np.loadtxt(ours)
    out = {'seconds': elapsed, 'c': float(np.max(np.abs(o - c)) / abs(c[0]))}
elif job == 'tdss':
    density, ours = sys.argv[2], sys.argv[3]
    t0 = np.loadtxt(density)
    t0 = t0[t0[:, 0] != 0]
    nu, J = t0[:, 0], t0[:, 1]
    w = 2 * np.pi * C_CM_FS * nu
    wt = np.zeros(len(nu)); h = np.diff(nu) / 2; wt[:-1] += h; wt[1:] += h
    amp = wt * J / w
    t = np.arange(0, 2001) * 1.0
    S = np.array([np.sum(amp * np.cos(w * tt)) for tt in t]) / amp.sum()
    lam = np.sum(wt * J / nu) / np.pi
    elapsed = time.perf_counter() - begin
    o = np.loadtxt(ours, delimiter=',', skiprows=1)
    out = {'seconds': elapsed, 's': float(np.max(np.abs(o[:, 1] - S))), 'lambda_cm': float(lam),
           'analytic_s': float(np.max(np.abs(S[:301] - np.exp(-t[:301] / 100.0))))}
print(json.dumps(out))
"""


def timed(argv, env=None):
    """Wall and CPU seconds (user + system of the child) of one run of argv."""
    before = resource.getrusage(resource.RUSAGE_CHILDREN)
    begin = time.perf_counter()
    result = subprocess.run(argv, stdout=subprocess.PIPE, stderr=subprocess.PIPE, env=env)
    wall = time.perf_counter() - begin
    after = resource.getrusage(resource.RUSAGE_CHILDREN)
    if result.returncode != 0:
        sys.exit("%s failed (%d): %s %s" % (" ".join(argv[:2]), result.returncode,
                                            result.stdout.decode(errors="replace"),
                                            result.stderr.decode(errors="replace")))
    cpu = (after.ru_utime - before.ru_utime) + (after.ru_stime - before.ru_stime)
    return wall, cpu, result.stdout.decode(errors="replace")


def main():
    if len(sys.argv) not in (3, 4):
        sys.exit(__doc__)
    cli, work = sys.argv[1], os.path.abspath(sys.argv[2])
    py = sys.argv[3] if len(sys.argv) == 4 else "/usr/bin/python3"
    os.makedirs(work, exist_ok=True)
    env = {k: v for k, v in os.environ.items() if not k.startswith("OPENBLAS_")}
    subprocess.run([py, "-c", MAKE_DATA, work], check=True, env=env)
    f = lambda name: os.path.join(work, name)

    jobs = [
        ("gap-fluctuations N=1e6, M=10000",
         [cli, "-q", "gap-fluctuations", "--input", f("freqgapEV.1"), "--max-lag", "10000",
          "--correlation", f("c.csv"), "--spectral-density", f("J.dat")],
         ["gap", f("freqgapEV.1"), "10000", f("c.csv"), f("J.dat"), f("J.numpy")], 2.0),
        ("spectrum 2000 x 24, 2000 points",
         [cli, "-q", "spectrum", "--input", f("states.csv"), "--from", "1.0", "--to", "10.995",
          "--step", "0.005", "--output", f("spectrum.csv"), "--stokes-file", f("absfq.dat")],
         ["spectrum", f("states.csv"), f("spectrum.csv"), "1.0", "10.995", "0.005"], 0.5),
        ("correlate --method fft N=1e6",
         [cli, "-q", "correlate", "--input1", f("series.dat"), "--input2", f("series.dat"),
          "--output", f("acf.dat"), "--mean", "--method", "fft"],
         ["correlate", f("series.dat"), f("acf.dat")], 2.0),
        ("tdss, 4000 rows, 2001 times",
         [cli, "-q", "tdss", "--input", f("J.dat"), "--output", f("S.csv")],
         ["tdss", f("J.dat"), f("S.csv")], None),
    ]
    print("medians of %d runs, whole commands on both sides (read, compute, write); the "
          "machine may be shared" % RUNS)
    print("%-34s %9s %9s %9s %8s  %s" % ("job", "ours cpu", "ours wall", "numpy", "target",
                                          "agreement with numpy (relative to scale)"))
    worst = 0.0
    for name, ours, side, target in jobs:
        walls, cpus, numpy_times = [], [], []
        for _ in range(RUNS):
            wall, cpu, _ = timed(ours)
            walls.append(wall)
            cpus.append(cpu)
            r = json.loads(subprocess.run([py, "-c", NUMPY_SIDE] + side, env=env,
                                          stdout=subprocess.PIPE, check=True).stdout)
            numpy_times.append(r.pop("seconds"))
        diffs = {k: v for k, v in r.items() if k in ("c", "j", "cum", "s", "eps", "grid", "nm")}
        worst = max([worst] + list(diffs.values()))
        print("%-34s %9.3f %9.3f %9.3f %8s  %s" % (
            name, statistics.median(cpus), statistics.median(walls),
            statistics.median(numpy_times), "%.1f s" % target if target else "-",
            " ".join("%s %.1e" % kv for kv in sorted(diffs.items()))))
        others = {k: v for k, v in r.items() if k not in diffs}
        if others:
            print("%34s  %s" % ("", " ".join("%s %.6g" % kv for kv in sorted(others.items()))))
    return 0 if worst < 1e-9 else 1


if __name__ == "__main__":
    sys.exit(main())
