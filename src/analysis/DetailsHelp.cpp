#include "analysis/DetailsHelp.h"

namespace quantem::analysis {

std::string fitDetailsHelp()
{
    return R"(<h2>Fit details</h2>
<p><b>FitDetails</b> (in the menu bar beside Report, and on the toolbar) opens a window with more
about the fit the main window shows. It never changes the main window's values, the report or
the files: they stay those of the fit as found.</p>
<ul>
<li><b>Fit</b>: the coefficients and exponents as shown in the main window.</li>
<li><b>Stable solve</b>: the coefficients solved again, for the same exponents, by a
column-pivoted QR factorisation of the design matrix instead of the normal equations; for
models 51 and 52 this is the whole least-squares solution.</li>
<li><b>Refined</b>: the coefficients and exponents together moved to the least sum of squared
residuals (Levenberg-Marquardt). The exponents are searched from the fit, from a plain start
and from where the step search ends when it is run again from other power initial values (-1,
0.5, 1 and 2); the lowest end is then polished over all parameters. It is shown only when it
lowers the sum of squares, with its number of iterations, the start that won and why it
stopped. When its sum of squares is below 0.8 of the fit's, status panel 1 says so after the
fit, and <b>Use refined fit</b> publishes it in the main window: the labels, the statistics,
the scratch files and the report (with a line saying that the values were refined) are then
those of the refined fit, so the chart, the calculator and the data report use it. Fits whose search took under a
second are refined at once; others when you press Refine.</li>
</ul>
<p>With N groups, p parameters (the coefficients a0..ae <i>and</i> the exponents k1..kk),
residuals r<sub>i</sub> = y<sub>i</sub> &minus; &#375;<sub>i</sub> and J the matrix of the
derivatives of the fitted values by the parameters:</p>
<table>
<tr><th>Statistic</th><th>Formula</th></tr>
<tr><td>sum of squares SSE</td><td>&Sigma; r<sub>i</sub><sup>2</sup></td></tr>
<tr><td>degrees of freedom</td><td>&nu; = N &minus; p</td></tr>
<tr><td>residual standard deviation (RMSE)</td><td>s = &radic;(SSE / &nu;)</td></tr>
<tr><td>mean error</td><td>&Sigma; |r<sub>i</sub>| / N</td></tr>
<tr><td>R&sup2;</td><td>1 &minus; SSE / &Sigma; (y<sub>i</sub> &minus; &#563;)<sup>2</sup></td></tr>
<tr><td>adjusted R&sup2;</td><td>1 &minus; (1 &minus; R&sup2;) (N &minus; 1) / &nu;</td></tr>
<tr><td>AICc</td><td>N ln(SSE / N) + 2p + 2p(p + 1) / (N &minus; p &minus; 1)</td></tr>
<tr><td>BIC</td><td>N ln(SSE / N) + p ln N</td></tr>
<tr><td>standard error of parameter j</td><td>s &radic;[(J<sup>T</sup>J)<sup>&minus;1</sup>]<sub>jj</sub></td></tr>
<tr><td>95 % interval</td><td>value &plusmn; t<sub>0.975, &nu;</sub> &times; standard error (Student t)</td></tr>
<tr><td>t and p</td><td>t = value / standard error; p = P(|T<sub>&nu;</sub>| &ge; |t|)</td></tr>
<tr><td>condition number</td><td>largest over smallest singular value of the design matrix
(constant column and terms) with every column scaled to length 1</td></tr>
</table>
<p><b>Two residual deviations.</b> The main window's S (&ldquo;Remain standard warp&rdquo;)
divides the sum of squares by N &minus; m, where m counts the coefficients a0..ae alone; the
residual standard deviation here divides it by &nu; = N &minus; p, which counts the exponents
too. For a model with exponents the two differ for the same fit: neither is wrong, they count
the degrees of freedom differently.</p>
<p>The stable solve holds the exponents fixed, so its standard errors are those of the
coefficients alone, while its degrees of freedom still count the exponents.</p>
<p><b>Conditioning warning.</b> The main fit solves the normal equations, whose condition number
is the square of the design's. When the design's condition number exceeds 1E+3 the normal
equations' exceeds 1E+6, and with the few digits that their elimination loses besides, the fit
may have lost more than half of the about 16 digits of a double; status panel 1 then says so
after the fit. Compare the Fit and Stable solve columns to
see how many digits survived.</p>
<p>The window also lists every group's residual (y minus the fitted value) and relative residual
(divided by the fitted value), and plots the residuals against the fitted value or against x1:
those of the published fit in blue and, once refined, those of the refined fit in red, as its
legend says.
Copy tables puts all tables on the clipboard as tab-separated text; Save CSV writes them to a
file; Save plot saves the plot as PNG, BMP, SVG or PDF (by the name's extension), and Print
plot prints it through the print dialog.</p>
)";
}

} // namespace quantem::analysis
