#!/usr/bin/env python3
"""Times `quillmark-cli correlate` against numpy.correlate on the same two generated series.

Usage: correlation_bench.py QUILLMARK_CLI WORK_DIR [NUMPY_PYTHON]

For N = 20000 and 100000 values (two correlated random walks written one value per line) our
command line computes C(tau) = sum_i x2(i) x1(i + tau) by direct summation, reading and writing
the files included in its time; numpy computes numpy.correlate(x2, x1, 'full'), whose first
N values reversed are the same C(tau), timed for the call alone. The summation orders differ, so
the results agree to rounding: the largest difference is reported relative to max |C| and, per
value, relative to |C(tau)| wherever |C(tau)| is above 1e-6 max |C|.

numpy runs in NUMPY_PYTHON (default /usr/bin/python3, Debian's python3-numpy), without the
OPENBLAS_* settings of this shell, so it runs as a plain `python3` would. Reports the medians of
RUNS runs. Never fails on speed; exits 1 when the results disagree beyond 1e-9.
"""
import json
import os
import random
import statistics
import subprocess
import sys
import time

SIZES = [20000, 100000]
RUNS = 3

# Runs in the numpy interpreter: times the call, compares with our output, prints JSON.
NUMPY_SIDE = r"""
import json, sys, time
import numpy as np
x1 = np.loadtxt(sys.argv[1]); x2 = np.loadtxt(sys.argv[2]); runs = int(sys.argv[4])
times = []
for _ in range(runs):
    begin = time.perf_counter()
    full = np.correlate(x2, x1, 'full')
    times.append(time.perf_counter() - begin)
c = full[:len(x1)][::-1]
ours = np.loadtxt(sys.argv[3])
scale = np.max(np.abs(c))
diff = np.abs(ours - c)
big = np.abs(c) > 1e-6 * scale
try:
    import threadpoolctl
    blas = [i.get('internal_api', '') + ' ' + str(i.get('architecture', ''))
            for i in threadpoolctl.threadpool_info()]
except ImportError:
    blas = []
print(json.dumps({'times': times, 'numpy': np.__version__, 'blas': blas,
                  'scaled': float(np.max(diff) / scale),
                  'pointwise': float(np.max(diff[big] / np.abs(c[big])))}))
"""


def make_series(path_1, path_2, n, seed):
    """Two random walks with noise that share most of their steps: like an energy gap and
    its neighbour along an MD trajectory, with long-lived correlations."""
    if os.path.exists(path_1) and os.path.exists(path_2):
        return
    rng = random.Random(seed)
    a = b = 0.0
    lines_1, lines_2 = [], []
    for _ in range(n):
        step = rng.gauss(0, 1)
        a = 0.999 * a + step
        b = 0.999 * b + 0.8 * step + 0.6 * rng.gauss(0, 1)
        lines_1.append("%.10f\n" % (a + rng.gauss(0, 0.1)))
        lines_2.append("%.10f\n" % (b + rng.gauss(0, 0.1)))
    for path, lines in ((path_1, lines_1), (path_2, lines_2)):
        with open(path + ".part", "w") as out:
            out.writelines(lines)
        os.replace(path + ".part", path)


def median_time(argv):
    times = []
    for _ in range(RUNS):
        begin = time.perf_counter()
        result = subprocess.run(argv, stdout=subprocess.PIPE, stderr=subprocess.PIPE)
        times.append(time.perf_counter() - begin)
        if result.returncode != 0:
            sys.exit("%s failed (%d): %s" % (argv[0], result.returncode,
                                              result.stdout.decode(errors="replace")))
    return statistics.median(times)


def main():
    if len(sys.argv) not in (3, 4):
        sys.exit(__doc__)
    cli, work = sys.argv[1], sys.argv[2]
    numpy_python = sys.argv[3] if len(sys.argv) == 4 else "/usr/bin/python3"
    os.makedirs(work, exist_ok=True)
    env = {k: v for k, v in os.environ.items() if not k.startswith("OPENBLAS_")}
    print("quillmark: whole command (read, sum, write); numpy: the correlate call alone; "
          "median of %d runs" % RUNS)
    print("%8s %13s %9s %7s %16s %16s" % ("N", "quillmark s", "numpy s", "ratio",
                                          "max diff/max|C|", "max rel diff"))
    worst = 0.0
    for n in SIZES:
        in_1 = os.path.join(work, "corr_%d_1.dat" % n)
        in_2 = os.path.join(work, "corr_%d_2.dat" % n)
        out = os.path.join(work, "corr_%d_out.dat" % n)
        make_series(in_1, in_2, n, seed=n)
        t_ours = median_time([cli, "correlate", "--input1", in_1, "--input2", in_2,
                              "--output", out])
        side = subprocess.run([numpy_python, "-c", NUMPY_SIDE, in_1, in_2, out, str(RUNS)],
                              env=env, stdout=subprocess.PIPE, check=True)
        r = json.loads(side.stdout)
        t_numpy = statistics.median(r["times"])
        worst = max(worst, r["scaled"])
        print("%8d %13.3f %9.3f %7.2f %16.2e %16.2e" % (n, t_ours, t_numpy, t_ours / t_numpy,
                                                       r["scaled"], r["pointwise"]))
    print("numpy %s, BLAS: %s" % (r["numpy"], ", ".join(r["blas"]) or
                                 "(threadpoolctl not installed)"))
    return 0 if worst < 1e-9 else 1


if __name__ == "__main__":
    sys.exit(main())
