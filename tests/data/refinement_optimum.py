"""Least-squares optima by SciPy for the refinement tests: the same groups that
tests/app/ShownFitRefinementTest.cpp writes (a multiplicative hash stands for the noise, so both
sides make the same numbers), each fitted by curve_fit from many starts, the least sum of squares
kept. Run with Debian's python3 (python3-scipy); prints one sum of squares per case."""
import numpy as np
from scipy import optimize

M = 2**32


def unit(i, multiplier):
    return ((i * multiplier) % M) / M


def noise(i, sd):
    return sd * 3**0.5 * (2.0 * unit(i, 3266489917) - 1.0)


def xs(n, low, high):
    i = np.arange(1, n + 1)
    x1 = np.array([low + (high - low) * unit(k, 2654435761) for k in i])
    x2 = np.array([low + (high - low) * unit(k, 2246822519) for k in i])
    e = np.array([noise(k, 0.05) for k in i])
    return x1, x2, e


def best(f, x, y, starts):
    low = np.inf
    for p0 in starts:
        try:
            p, _ = optimize.curve_fit(f, x, y, p0=p0, maxfev=200000)
        except (RuntimeError, ValueError):
            continue
        r = y - f(x, *p)
        sse = float(r @ r)
        if np.isfinite(sse) and sse < low:
            low = sse
    return low


rng = np.random.default_rng(1)

x1, x2, e = xs(30, 1.0, 10.0)
y16 = 1 + 2 * x1**0.5 + 0.8 * x2**2 + e
m16 = lambda x, a0, a1, a2, k1, k2: a0 + a1 * x[0]**k1 + a2 * x[1]**k2
starts = [[1, 1, 1, k1, k2] for k1 in (-1, 0.5, 1, 2) for k2 in (-1, 0.5, 1, 2)]
print("model 16, 30 groups:", repr(best(m16, (x1, x2), y16, starts)))

a = np.array([0.387, 0.723, 1, 1.524, 5.203, 9.537, 19.191, 30.069])
t = np.array([0.241, 0.615, 1, 1.881, 11.862, 29.457, 84.011, 164.79])
m10 = lambda x, a0, a1, a2, k1, k2: a0 + a1 * x**k1 + a2 * x**k2
starts = [[0, 1, 0.1, k1, k2] for k1 in (0.5, 1, 1.5, 2) for k2 in (-1, 0.5, 1, 2, 3)]
print("model 10, planets:", repr(best(m10, a, t, starts)))

x1, x2, e = xs(4000, 0.5, 3.0)
A = [1.5, 1.0, 1.25, 1.5, 1.75]
K = [0.83, 0.61, 0.7, 0.4, 0.55, 0.45]
m24 = lambda x, a0, a1, a2, a3, a4, k1, k2, k3, k4, k5, k6: (
    a0 + a1 * x[0]**k1 + a2 * x[1]**k2 + a3 * x[0]**k3 * x[1]**k4 + a4 * x[0]**k5 * x[1]**k6)
y24 = m24((x1, x2), *A, *K) + e
starts = [[1.0] * 5 + [0.5] * 6, A + K] + [list(rng.uniform(0.5, 2, 5)) + list(rng.uniform(0.2, 1, 6))
                                        for _ in range(20)]
print("model 24, 4000 groups:", repr(best(m24, (x1, x2), y24, starts)))
