#!/usr/bin/python3
"""Whole-process timings of quantem-fit against what a user would run instead, on the same files.

usage: compare.py BUILD-DIR [WORK-DIR]

Jobs:
  model 24 (six exponents) from power initial value 1, N = 1 000 and 10 000, against SciPy
  curve_fit on all 11 parameters, and against a process that reads the same samples and runs
  the minimal loop of the same number of evaluations (bench_floor_loop);
  model 51 with n = 50, N = 100 000, against numpy loadtxt + lstsq.
Each process runs under /usr/bin/time -v; the table shows the median wall time of a few runs and
the peak resident memory, and the ratio quantem / alternative (below 1: quantem is faster).
"""
import os
import re
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
REPEATS = int(os.environ.get("BENCH_REPEATS", "3"))

SCIPY_24 = r"""
import sys
import numpy as np
from scipy.optimize import curve_fit
data = np.loadtxt(sys.argv[1], delimiter=",", max_rows=int(sys.argv[2]))
x1, x2, y = data[:, 0], data[:, 1], data[:, 2]
def model(x, a0, a1, a2, a3, a4, k1, k2, k3, k4, k5, k6):
    x1, x2 = x
    return (a0 + a1 * x1**k1 + a2 * x2**k2 + a3 * x1**k3 * x2**k4
            + a4 * x1**k5 * x2**k6)
p, _ = curve_fit(model, (x1, x2), y, p0=[1.0] * 11, maxfev=100000)
print(" ".join("%.6g" % v for v in p))
"""

NUMPY_51 = r"""
import sys
import numpy as np
data = np.loadtxt(sys.argv[1], delimiter=",", max_rows=int(sys.argv[2]))
x = np.column_stack([np.ones(len(data)), data[:, :-1]])
a, *_ = np.linalg.lstsq(x, data[:, -1], rcond=None)
print(a[:3])
"""


def timed(command, cwd=None):
    """Wall seconds of one process (to the microsecond, GNU time's own clock shows only
    hundredths) and its peak resident MiB from GNU time."""
    start = time.perf_counter()
    result = subprocess.run(["/usr/bin/time", "-v"] + command, cwd=cwd,
                            capture_output=True, text=True)
    seconds = time.perf_counter() - start
    if result.returncode != 0:
        sys.exit("failed: %s\n%s" % (" ".join(command), result.stderr[-2000:]))
    peak = int(re.search(r"Maximum resident set size \(kbytes\): (\d+)", result.stderr).group(1))
    cpu = sum(float(re.search(r"%s time \(seconds\): ([\d.]+)" % kind, result.stderr).group(1))
              for kind in ("User", "System"))
    return seconds, peak / 1024.0, cpu


def median_of(command, cwd=None):
    runs = [timed(command, cwd) for _ in range(REPEATS)]
    return (statistics.median(r[0] for r in runs), max(r[1] for r in runs),
            statistics.median(r[2] for r in runs))


def fresh_root(work, name, samples):
    root = os.path.join(work, name)
    os.makedirs(root, exist_ok=True)
    shutil.copyfile(samples, os.path.join(root, "data.qtm"))
    return root


def main():
    build = os.path.abspath(sys.argv[1])
    work = sys.argv[2] if len(sys.argv) > 2 else tempfile.mkdtemp(prefix="quantem-bench-")
    os.makedirs(work, exist_ok=True)
    fit = os.path.join(build, "src", "quantem-fit")
    floor = os.path.join(build, "bench", "bench_floor_loop")
    generate = [sys.executable, os.path.join(HERE, "generate.py")]
    rows = []

    samples24 = os.path.join(work, "model24.qtm")
    subprocess.run(generate + ["model24", samples24, "10000"], check=True)
    for groups in (1000, 10000):
        root = fresh_root(work, "root24-%d" % groups, samples24)
        ours = median_of([fit, "--root", root, "--model", "24", "--samples", str(groups),
                          "--power", "1"])
        scipy = median_of([sys.executable, "-c", SCIPY_24, samples24, str(groups)])
        rows.append(("model 24, N = %d, initial value 1" % groups, "SciPy curve_fit", ours, scipy))
        evaluations = subprocess.run([floor, "count", samples24, str(groups), "1"], check=True,
                                     capture_output=True, text=True).stdout.strip()
        loop = median_of([floor, "loop", samples24, str(groups), "1", evaluations])
        rows.append(("  the same search, %s evaluations" % evaluations,
                     "minimal C++ loop", ours, loop))

    samples51 = os.path.join(work, "model51.qtm")
    subprocess.run(generate + ["model51", samples51, "100000", "50"], check=True)
    size = os.path.getsize(samples51) / 1E6
    root = fresh_root(work, "root51", samples51)
    ours = median_of([fit, "--root", root, "--model", "51", "--samples", "100000",
                      "--elements", "50"])
    numpy = median_of([sys.executable, "-c", NUMPY_51, samples51, "100000"])
    rows.append(("model 51, n = 50, N = 100 000 (%.0f MB)" % size, "numpy loadtxt + lstsq",
                 ours, numpy))

    header = ("Job", "Alternative", "Quantem s", "Quantem CPU s", "Quantem MiB", "Alt s",
              "Alt CPU s", "Alt MiB", "Time ratio")
    print("| " + " | ".join(header) + " |")
    print("|" + "---|" * len(header))
    for job, alternative, (our_s, our_mib, our_cpu), (alt_s, alt_mib, alt_cpu) in rows:
        alt_memory = "%.0f" % alt_mib
        print("| %s | %s | %.3f | %.3f | %.0f | %.3f | %.3f | %s | %.2f |" % (
            job, alternative, our_s, our_cpu, our_mib, alt_s, alt_cpu, alt_memory,
            our_s / alt_s))
    print("\n(median of %d runs each; wall time; CPU = user + system; time ratio = Quantem wall /"
          " alternative wall, below 1 is faster; load average %.1f)"
          % (REPEATS, os.getloadavg()[0]))


if __name__ == "__main__":
    main()
