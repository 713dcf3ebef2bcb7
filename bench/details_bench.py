#!/usr/bin/python3
"""Fit search plus refinement against SciPy's curve_fit on the same model-24 file.

Writes 10 000 groups (x1, x2, y) drawn from model 24 with known coefficients and exponents and
normal noise of standard deviation 0.0788 (a mean absolute error of about 0.0629), then times
`quantem-fit --json --details` (the exponent search and the refinement, one process) and
scipy.optimize.curve_fit on the same groups, and prints the times, their ratio and the mean
absolute errors. Usage: details_bench.py [path to quantem-fit] [repeats]
"""
import json
import os
import resource
import subprocess
import sys
import tempfile
import time

import numpy as np
from scipy import optimize

A = [1.5, 1.0, 1.25, 1.5, 1.75]
# Exponents as the program reports them (k5 and k6 include their term offsets of 0.25).
K = [0.83, 0.61, 0.7, 0.4, 0.55, 0.45]
N = 10000
NOISE_SD = 0.0788


def model24(x, a0, a1, a2, a3, a4, k1, k2, k3, k4, k5, k6):
    x1, x2 = x
    return (a0 + a1 * x1**k1 + a2 * x2**k2 + a3 * x1**k3 * x2**k4
            + a4 * x1**k5 * x2**k6)


def write_samples(path):
    rng = np.random.default_rng(20240924)
    x1 = rng.uniform(0.5, 3.0, N)
    x2 = rng.uniform(0.5, 3.0, N)
    y = model24((x1, x2), *A, *K) + rng.normal(0.0, NOISE_SD, N)
    with open(path, "w") as out:
        for a, b, c in zip(x1, x2, y):
            out.write(f"{a!r},{b!r},{c!r}\r\n")
    return x1, x2, y


def cpu_seconds():
    """CPU time of this process and its finished children: a shared machine stretches wall
    time, not CPU time."""
    own = resource.getrusage(resource.RUSAGE_SELF)
    children = resource.getrusage(resource.RUSAGE_CHILDREN)
    return own.ru_utime + own.ru_stime + children.ru_utime + children.ru_stime


def best_of(repeats, run):
    """The least wall and CPU time of repeats runs, and the last run's result."""
    best_wall = best_cpu = None
    result = None
    for _ in range(repeats):
        wall, cpu = time.perf_counter(), cpu_seconds()
        result = run()
        wall, cpu = time.perf_counter() - wall, cpu_seconds() - cpu
        best_wall = wall if best_wall is None else min(best_wall, wall)
        best_cpu = cpu if best_cpu is None else min(best_cpu, cpu)
    return (best_wall, best_cpu), result


def main():
    fit = sys.argv[1] if len(sys.argv) > 1 else "build-bench/src/quantem-fit"
    repeats = int(sys.argv[2]) if len(sys.argv) > 2 else 3
    with tempfile.TemporaryDirectory() as root:
        x1, x2, y = write_samples(os.path.join(root, "data.qtm"))
        generating = np.mean(np.abs(y - model24((x1, x2), *A, *K)))

        def ours(power):
            text = subprocess.run(
                [fit, "--root", root, "--json", "--details", "--model", "24", "--samples",
                 str(N), "--power", power], check=False, capture_output=True, text=True).stdout
            return json.loads(text)["runs"][0]["details"]

        def scipy_fit():
            popt, _ = optimize.curve_fit(model24, (x1, x2), y, p0=[1.0] * 5 + [0.5] * 6,
                                         maxfev=20000)
            return np.mean(np.abs(y - model24((x1, x2), *popt)))

        (scipy_wall, scipy_cpu), scipy_error = best_of(repeats, scipy_fit)
        print(f"model 24, N = {N}, noise sd {NOISE_SD}: generating model's mean error "
              f"{generating:.5f}; load average {os.getloadavg()[0]:.1f}")
        print(f"scipy curve_fit: {scipy_wall:.3f} s wall, {scipy_cpu:.3f} s CPU, "
              f"mean error {scipy_error:.5f}")
        for power in ("1", ".5"):
            (wall, cpu), details = best_of(repeats, lambda: ours(power))
            fitted = details["fit"]["mean_error"]
            refined = details["refined"]["mean_error"] if details["refined"] else fitted
            print(f"quantem-fit --details (power {power}): {wall:.3f} s wall, {cpu:.3f} s CPU; "
                  f"search mean error {fitted:.5f}, refined {refined:.5f} "
                  f"({refined / scipy_error:.4f} of scipy's); time ratio quantem/scipy "
                  f"{wall / scipy_wall:.2f} wall, {cpu / scipy_cpu:.2f} CPU")


if __name__ == "__main__":
    main()
