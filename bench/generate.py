#!/usr/bin/python3
"""Sample files for the speed comparison, written as the data program writes them.

model24 N: y = 0.5 + 2 x1^0.3 + 2.5 x2^1.8 + 3 x1^0.4 x2^0.6 + 3.5 x1^1.45 x2^1.6, disturbed
by 1 %, x1 and x2 in 0.5..4.5, three numbers a group. The exponents lie far from the initial
value 1, so the search walks a few hundred steps.
model51 N n: y = 1 + sum of (k / n) xk plus noise, x in 0..10, n + 1 numbers a group.
"""
import sys

import numpy as np


def model24(path, groups, seed=24):
    rng = np.random.default_rng(seed)
    x1 = rng.uniform(0.5, 4.5, groups)
    x2 = rng.uniform(0.5, 4.5, groups)
    y = (0.5 + 2.0 * x1**0.3 + 2.5 * x2**1.8 + 3.0 * x1**0.4 * x2**0.6
         + 3.5 * x1**1.45 * x2**1.6)
    y *= 1.0 + 0.01 * rng.standard_normal(groups)
    np.savetxt(path, np.column_stack([x1, x2, y]), fmt="%.9g", delimiter=",")


def model51(path, groups, elements, seed=51):
    rng = np.random.default_rng(seed)
    x = rng.uniform(0.0, 10.0, (groups, elements))
    y = 1.0 + x @ (np.arange(1, elements + 1) / elements) + rng.standard_normal(groups)
    np.savetxt(path, np.column_stack([x, y]), fmt="%.5f", delimiter=",")


if __name__ == "__main__":
    kind, path = sys.argv[1], sys.argv[2]
    if kind == "model24":
        model24(path, int(sys.argv[3]))
    elif kind == "model51":
        model51(path, int(sys.argv[3]), int(sys.argv[4]))
    else:
        sys.exit("usage: generate.py model24 PATH N | model51 PATH N n")
