#include "analysis/StableSolve.h"

#include "analysis/ColumnScaling.h"

namespace quantem::analysis {

namespace {

    using LongMatrix = Eigen::Matrix<long double, Eigen::Dynamic, Eigen::Dynamic>;
    using LongVector = Eigen::Matrix<long double, Eigen::Dynamic, 1>;

} // namespace

std::vector<double> stableSolve(
    const Eigen::Ref<const Eigen::MatrixXd>& design, const Eigen::Ref<const Eigen::VectorXd>& y)
{
    if (!design.allFinite() || !y.allFinite() || design.rows() < design.cols())
        return {};
    // Columns of very different size (a0 beside x^10) are brought to about unit length first,
    // so that the rank decision and the pivoting see their shapes, not their units.
    if ((design.colwise().norm().array() == 0.0).any())
        return {};
    const Eigen::VectorXd lengths = columnScales(design);
    const Eigen::MatrixXd a = design * lengths.cwiseInverse().asDiagonal();
    // Column-pivoted Householder QR works on the design itself and so loses about half as many
    // digits as the normal equations, whose condition is the square of the design's.
    const Eigen::ColPivHouseholderQR<Eigen::MatrixXd> qr(a);
    if (qr.rank() < a.cols())
        return {};
    const Eigen::Index p = a.cols();
    const auto r = qr.matrixR().topLeftCorner(p, p).triangularView<Eigen::Upper>();

    Eigen::VectorXd x = qr.solve(y);
    Eigen::VectorXd residual = y - a * x;
    // Corrections of the augmented system [I A; Aᵀ 0][r; x] = [y; 0], its defects taken in
    // extended precision: a large residual otherwise costs the solution digits in proportion
    // to the square of the condition.
    const LongMatrix longA = a.cast<long double>();
    const LongVector longY = y.cast<long double>();
    for (int correction = 0; correction < 3; ++correction) {
        const LongVector longR = residual.cast<long double>();
        const LongVector longX = x.cast<long double>();
        const Eigen::VectorXd f = (longY - longR - longA * longX).cast<double>();
        const Eigen::VectorXd g = (-(longA.transpose() * longR)).cast<double>();
        // With A P = Q R: Qᵀ dr = R⁻ᵀ Pᵀ g, then R Pᵀ dx = Qᵀ f - Qᵀ dr and dr = f - A dx.
        const Eigen::VectorXd h = r.transpose().solve(qr.colsPermutation().transpose() * g);
        const Eigen::VectorXd qf = (qr.householderQ().transpose() * f).head(p);
        const Eigen::VectorXd dx = qr.colsPermutation() * r.solve(qf - h);
        x += dx;
        residual += f - a * dx;
    }
    const Eigen::VectorXd solution = x.cwiseQuotient(lengths);
    return { solution.data(), solution.data() + solution.size() };
}

} // namespace quantem::analysis
