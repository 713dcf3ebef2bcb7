#!/usr/bin/python3
"""A typed equation fitted by quantem-fit against the same fit in SciPy, then the NIST runs.

usage: equation_bench.py [path to quantem-fit]

Writes N = 1 000 000 groups x, y of a Gaussian peak on a linear baseline with normal noise (fixed
seed, full precision) into a fresh root's data.qtm, then times whole processes, each under
/usr/bin/time -v for its peak resident memory: `quantem-fit --equation ... --json` and a Python
process that does what a user does instead (numpy loadtxt, a vectorised model and
scipy.optimize.curve_fit from the same start, 'lm' with a numerical Jacobian). Prints the median
wall times of a few runs, the peak memories, their ratios and how many significant digits the two
sums of squared residuals share. Then runs the 27 NIST StRD problems from both of their starts
(54 processes) and prints their total wall time and how many converged.
A missed target is reported, not failed; a process that fails or prints what cannot be read is.
"""
import json
import math
import os
import re
import shlex
import statistics
import subprocess
import sys
import tempfile
import time

import numpy as np

HERE = os.path.dirname(os.path.abspath(__file__))
REPEATS = int(os.environ.get("BENCH_REPEATS", "3"))
NIST = os.path.join(os.path.dirname(os.path.dirname(HERE)), "shared", "reference-data",
                    "nist-nls", "all.json")

N = 1000000
EQUATION = "a + b*x + c*exp(-(x-m)^2/(2*s^2))"
TRUTH = {"a": 2.0, "b": 0.5, "c": 10.0, "m": 5.0, "s": 0.8}
# 10 to 25 % off the truth, each in its own direction, as a user reads a start off a plot.
START = {"a": 2.4, "b": 0.4, "c": 8.5, "m": 5.5, "s": 1.0}
NOISE_SD = 0.25
# The peak sits in the middle, six widths from either end, so the baseline is seen on both sides.
X_RANGE = (0.0, 10.0)

TIME_TARGET = 0.25
DIGITS_TARGET = 10
RSS_DIGITS = 6

SCIPY_FIT = r"""
import sys
import numpy as np
from scipy.optimize import curve_fit
data = np.loadtxt(sys.argv[1], delimiter=",")
x, y = data[:, 0], data[:, 1]
def model(x, a, b, c, m, s):
    return a + b * x + c * np.exp(-(x - m)**2 / (2 * s**2))
p, _, info, _, _ = curve_fit(model, x, y, p0=[float(v) for v in sys.argv[2:]],
                             full_output=True)
print("%.17g" % np.sum((y - model(x, *p))**2), " ".join("%.17g" % v for v in p), info["nfev"])
"""


def write_samples(path):
    rng = np.random.default_rng(20250101)
    x = rng.uniform(X_RANGE[0], X_RANGE[1], N)
    t = TRUTH
    y = (t["a"] + t["b"] * x + t["c"] * np.exp(-(x - t["m"])**2 / (2 * t["s"]**2))
         + rng.normal(0.0, NOISE_SD, N))
    np.savetxt(path, np.column_stack([x, y]), fmt="%.17g", delimiter=",", newline="\r\n")


def timed(command):
    """Wall seconds of one process (to the microsecond, GNU time's own clock shows only
    hundredths), its peak resident MiB and CPU seconds from GNU time, and its output."""
    start = time.perf_counter()
    result = subprocess.run(["/usr/bin/time", "-v"] + command, capture_output=True, text=True)
    seconds = time.perf_counter() - start
    if result.returncode != 0:
        sys.exit("failed (exit status %d): %s\n--- stdout:\n%s\n--- stderr:\n%s"
                 % (result.returncode, shlex.join(command), result.stdout[-2000:],
                    result.stderr[-3000:]))
    peak = int(re.search(r"Maximum resident set size \(kbytes\): (\d+)", result.stderr).group(1))
    cpu = sum(float(re.search(r"%s time \(seconds\): ([\d.]+)" % kind, result.stderr).group(1))
              for kind in ("User", "System"))
    return seconds, peak / 1024.0, cpu, result.stdout


def medians_of(jobs):
    """For each (command, read): median wall and CPU time of REPEATS runs, the highest peak
    memory, and what read takes from the last run's output (every run is read: one that prints
    nonsense fails the bench). The commands run in turn, round after round, so that other work
    on the machine, which comes and goes, weighs on all alike."""
    runs = [[] for _ in jobs]
    for _ in range(REPEATS):
        for (command, read), done in zip(jobs, runs):
            seconds, mib, cpu, text = timed(command)
            done.append((seconds, mib, cpu, read(text, command)))
    return [(statistics.median(r[0] for r in done), max(r[1] for r in done),
             statistics.median(r[2] for r in done), done[-1][3]) for done in runs]


def read_quantem(text, command):
    try:
        fit = json.loads(text)["equation"]
        values = {p["name"]: float(p["value"]) for p in fit["parameters"]}
        return float(fit["sse"]), values, fit
    except (ValueError, KeyError, TypeError) as error:
        sys.exit("cannot read the output of %s (%s):\n%s" % (shlex.join(command), error,
                                                              text[-2000:]))


def read_scipy(text, command):
    try:
        numbers = [float(v) for v in text.split()]
        if len(numbers) != 2 + len(START):
            raise ValueError("%d numbers" % len(numbers))
        return numbers[0], dict(zip(START, numbers[1:-1])), int(numbers[-1])
    except ValueError as error:
        sys.exit("cannot read the output of %s (%s):\n%s" % (shlex.join(command), error,
                                                              text[-2000:]))


def digits(value, reference):
    """Significant digits value shares with reference: the log relative error, at most 17."""
    if value == reference:
        return 17.0
    if reference == 0.0:
        return 0.0
    return max(0.0, min(17.0, -math.log10(abs(value - reference) / abs(reference))))


def verdict(met):
    return "met" if met else "MISSED"


def gaussian_peak(fit):
    with tempfile.TemporaryDirectory(prefix="quantem-equation-") as root:
        samples = os.path.join(root, "data.qtm")
        write_samples(samples)
        size = os.path.getsize(samples) / 1E6
        start = ",".join("%s=%r" % item for item in START.items())
        ours, scipy = medians_of([
            ([fit, "--root", root, "--equation", EQUATION, "--start", start, "--json"],
             read_quantem),
            (["/usr/bin/python3", "-c", SCIPY_FIT, samples] + [repr(v) for v in START.values()],
             read_scipy)])
    ours_s, ours_mib, ours_cpu, (ours_sse, ours_p, details) = ours
    scipy_s, scipy_mib, scipy_cpu, (scipy_sse, scipy_p, scipy_evaluations) = scipy

    print("equation fit: y = %s, N = %d groups (%.0f MB), noise sd %g, start %s; median of %d "
          "runs, %d cores, load average %.1f"
          % (EQUATION, N, size, NOISE_SD, start, REPEATS, os.cpu_count(), os.getloadavg()[0]))
    print("  quantem-fit --equation --json:   %.3f s wall, %.3f s CPU, %.0f MiB peak;"
          " %s iterations, %s evaluations, %s" % (
              ours_s, ours_cpu, ours_mib, details.get("iterations"), details.get("evaluations"),
              details.get("stop_reason")))
    print("  SciPy loadtxt + curve_fit (lm):  %.3f s wall, %.3f s CPU, %.0f MiB peak;"
          " %d calls of the model (nfev, its finite-difference Jacobian's included)"
          % (scipy_s, scipy_cpu, scipy_mib, scipy_evaluations))
    time_ratio = ours_s / scipy_s
    memory_ratio = ours_mib / scipy_mib
    sse_digits = digits(ours_sse, scipy_sse)
    print("  time ratio quantem/SciPy:        %.3f wall (target at most %.2f: %s), %.3f CPU"
          % (time_ratio, TIME_TARGET, verdict(time_ratio <= TIME_TARGET), ours_cpu / scipy_cpu))
    print("  memory ratio quantem/SciPy:      %.3f (target below 1: %s)"
          % (memory_ratio, verdict(memory_ratio < 1.0)))
    print("  SSE quantem %.17g, SciPy %.17g: %.1f digits agree (target %d: %s)"
          % (ours_sse, scipy_sse, sse_digits, DIGITS_TARGET,
             verdict(sse_digits >= DIGITS_TARGET)))
    missing = [name for name in START if name not in ours_p]
    if missing:
        sys.exit("quantem-fit reported no value for %s" % ", ".join(missing))
    print("  parameters (quantem / SciPy, digits agreeing): " + "; ".join(
        "%s %.10g / %.10g (%.1f)" % (name, ours_p[name], scipy_p[name],
                                     digits(ours_p[name], scipy_p[name])) for name in START))


def nist_roots(work, problems):
    """One root a problem with its data.qtm, and the formula as quantem-fit takes it."""
    jobs = []
    for problem in problems:
        name = problem["name"]
        xs, ys = problem["x"], problem["y"]
        formula = re.sub(r"\s*\+\s*e\s*$", "", problem["formula"])
        if formula == problem["formula"]:
            sys.exit("NIST %s: no trailing '+ e' in %r" % (name, problem["formula"]))
        if problem["response"] == "log(y)":
            # Nelson models log(y): the fitted response is written as the third number.
            formula = formula.replace("log[y] =", "y =", 1)
            lines = ["%r,%r,%r" % (x[0], x[1], math.log(y)) for x, y in zip(xs, ys)]
        else:
            lines = ["%r,%r" % (x, y) for x, y in zip(xs, ys)]
        if not formula.startswith("y ="):
            sys.exit("NIST %s: cannot make a y = formula of %r" % (name, problem["formula"]))
        root = os.path.join(work, name)
        os.makedirs(root)
        with open(os.path.join(root, "data.qtm"), "w", newline="") as out:
            out.write("\r\n".join(lines) + "\r\n")
        names = problem["parameter_names"]
        for key in ("start1", "start2"):
            start = ",".join("%s=%r" % pair for pair in zip(names, problem[key]))
            jobs.append((name, key, root, formula, start, float(problem["certified_rss"])))
    return jobs


def nist(fit):
    if not os.path.exists(NIST):
        print("NIST runs: skipped, %s is not there" % NIST)
        return
    with open(NIST) as source:
        problems = json.load(source)["problems"]
    with tempfile.TemporaryDirectory(prefix="quantem-nist-") as work:
        jobs = nist_roots(work, problems)
        totals = []
        for _ in range(REPEATS):
            total = 0.0
            outcomes = []
            for name, key, root, formula, start, certified in jobs:
                command = [fit, "--root", root, "--json", "--equation", formula, "--start", start]
                begin = time.perf_counter()
                try:
                    result = subprocess.run(command, capture_output=True, text=True, timeout=120)
                except subprocess.TimeoutExpired:
                    total += time.perf_counter() - begin
                    outcomes.append((name, key, None, None))
                    continue
                total += time.perf_counter() - begin
                sse = None
                try:
                    sse = float(json.loads(result.stdout)["equation"]["sse"])
                except (ValueError, KeyError, TypeError):
                    if result.returncode == 0:
                        sys.exit("cannot read the output of %s:\n%s\n%s" % (
                            shlex.join(command), result.stdout[-2000:], result.stderr[-2000:]))
                outcomes.append((name, key, result.returncode,
                                 None if sse is None else digits(sse, certified)))
            totals.append(total)
    converged = [o for o in outcomes if o[2] == 0]
    print("NIST StRD, %d problems from both starts (%d processes): %.3f s wall in total "
          "(median of %d rounds), %d of %d returned exit status 0"
          % (len(problems), len(jobs), statistics.median(totals), REPEATS, len(converged),
             len(jobs)))
    # NIST certifies the RSS to 11 digits; fewer than RSS_DIGITS is a different minimum or a
    # sum of squares at the level of rounding noise.
    close = [o for o in converged if o[3] >= RSS_DIGITS]
    far = ", ".join("%s from %s (%.1f)" % (o[0], o[1], o[3]) for o in converged
                    if o[3] < RSS_DIGITS)
    print("  their SSE agrees with the certified RSS to at least %d digits in %d of %d%s"
          % (RSS_DIGITS, len(close), len(converged), "; fewer: " + far if far else ""))
    for name, key, status, rss_digits in outcomes:
        if status != 0:
            print("  %s from %s: %s" % (name, key, "timed out after 120 s" if status is None
                                        else "exit status %d" % status))
    # Status 1 is a fit that did not converge, a result; a hang, a crash or a usage error is not.
    if any(status is None or status not in (0, 1) for _, _, status, _ in outcomes):
        sys.exit("NIST runs: a process hung, crashed or refused its arguments")


def main():
    fit = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else "build-bench/src/quantem-fit")
    gaussian_peak(fit)
    nist(fit)


if __name__ == "__main__":
    main()
