import numpy as np
from scipy import optimize, stats
np.set_printoptions(precision=17)
def ols(X, y):
    n, p = X.shape
    beta, *_ = np.linalg.lstsq(X, y, rcond=None)
    r = y - X @ beta
    dof = n - p
    s2 = r @ r / dof
    se = np.sqrt(np.diag(s2 * np.linalg.inv(X.T @ X)))
    return beta, se, dof, r
def report(name, beta, se, dof, r, y, p):
    q = stats.t.ppf(0.975, dof)
    sse = r @ r; n = len(y)
    r2 = 1 - sse / np.sum((y - y.mean())**2)
    print(name)
    for b, s in zip(beta, se):
        t = b / s
        print("  {%r, %r, %r, %r, %r, %r}," % (b, s, b - q*s, b + q*s, t, 2*stats.t.sf(abs(t), dof)))
    aicc = n*np.log(sse/n) + 2*p + 2*p*(p+1)/(n-p-1)
    bic = n*np.log(sse/n) + p*np.log(n)
    print("  sse %r r2 %r adj %r aicc %r bic %r" % (sse, r2, 1-(1-r2)*(n-1)/dof, aicc, bic))
# model 51, m = 2: groups x1, x2, y
d51 = np.array([[1.25,3.5,7.9],[2.5,1.75,8.35],[3.75,4.25,14.1],[4.5,2.0,12.6],[5.25,5.5,19.45],[6.5,3.25,17.05],[7.75,6.0,24.3],[8.25,1.5,16.2]])
X = np.column_stack([np.ones(8), d51[:, :2]]); y = d51[:, 2]
report("m51", *ols(X, y), y, 3)
# model 52, degree 2: groups x, y
d52 = np.array([[0.5,2.31],[1.25,2.87],[2.0,4.12],[2.75,5.94],[3.5,8.61],[4.25,11.72],[5.0,15.43]])
X = np.column_stack([np.ones(7), d52[:, 0], d52[:, 0]**2]); y = d52[:, 1]
report("m52", *ols(X, y), y, 3)
# model 7: y = a0 + a1 * x1 ^ k1
d7 = np.array([[0.6,2.03],[0.9,2.61],[1.3,3.17],[1.7,3.74],[2.2,4.29],[2.8,5.02],[3.3,5.48],[3.9,6.09],[4.6,6.71],[5.2,7.30]])
f = lambda x, a0, a1, k1: a0 + a1 * x**k1
popt, pcov = optimize.curve_fit(f, d7[:, 0], d7[:, 1], p0=[1, 1.5, 0.8], xtol=1e-15, ftol=1e-15, gtol=1e-15)
r = d7[:, 1] - f(d7[:, 0], *popt)
report("m7", popt, np.sqrt(np.diag(pcov)), 7, r, d7[:, 1], 3)
