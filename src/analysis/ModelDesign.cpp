#include "analysis/ModelDesign.h"

#include "core/TermTable.h"

#include <cmath>

namespace quantem::analysis {

namespace {

    /// A factor's values in every group, as one column.
    Eigen::ArrayXd factorColumn(
        const FitSnapshot& fit, const core::Factor& factor, std::span<const double> exponents)
    {
        const auto variable = static_cast<Eigen::Index>(factor.variable - 1);
        switch (factor.kind) {
        case core::Factor::Kind::Variable:
            return fit.x.col(variable).array();
        case core::Factor::Kind::Reciprocal:
            return fit.x.col(variable).array().inverse();
        case core::Factor::Kind::Power:
            // Published exponents already carry their term offsets, as the formula shows them.
            // exp(k ln x) over the whole column: the logarithms are taken once per fit, and a
            // vectorised exponential is several times cheaper than a power per group.
            return (exponents[static_cast<std::size_t>(factor.exponent - 1)]
                * fit.logX.col(variable).array())
                .exp();
        case core::Factor::Kind::Log:
            return fit.logX.col(variable).array();
        case core::Factor::Kind::Exp:
            return fit.x.col(variable).array().exp();
        }
        return fit.x.col(variable).array();
    }

} // namespace

Eigen::MatrixXd designMatrix(const FitSnapshot& fit, std::span<const double> exponents)
{
    const Eigen::Index n = fit.groups();
    Eigen::MatrixXd design(n, fit.terms + 1);
    design.col(0).setOnes();
    if (fit.model->id == core::kMultipleLinearModel) {
        design.rightCols(fit.terms) = fit.x;
        return design;
    }
    if (fit.model->id == core::kPolynomialModel) {
        for (int power = 1; power <= fit.terms; ++power)
            design.col(power) = fit.x.col(0).array().pow(static_cast<double>(power));
        return design;
    }
    const std::span<const core::Term> terms = core::termsOf(fit.model->id);
    for (std::size_t t = 0; t < terms.size(); ++t) {
        const core::Term& term = terms[t];
        // Factors multiplied left to right as the formula writes them.
        Eigen::ArrayXd column = factorColumn(fit, term.factors[0], exponents);
        for (int f = 1; f < term.count; ++f)
            column *= factorColumn(fit, term.factors[static_cast<std::size_t>(f)], exponents);
        design.col(static_cast<Eigen::Index>(t) + 1) = column.matrix();
    }
    return design;
}

Eigen::VectorXd fittedValues(
    const Eigen::Ref<const Eigen::MatrixXd>& design, std::span<const double> coefficients)
{
    const Eigen::Map<const Eigen::VectorXd> a(
        coefficients.data(), static_cast<Eigen::Index>(coefficients.size()));
    return design * a;
}

namespace {

    /// Calls visit(u, r, logColumn) for every power factor of every term: u the term's design
    /// column, r the factor's exponent index (0-based) and logColumn the logarithms of its
    /// variable; the term changes with that exponent as term·ln x.
    template <typename Visit> void forEachPowerFactor(const FitSnapshot& fit, Visit visit)
    {
        const std::span<const core::Term> terms = core::termsOf(fit.model->id);
        for (std::size_t t = 0; t < terms.size(); ++t) {
            const core::Term& term = terms[t];
            const auto u = static_cast<Eigen::Index>(t) + 1;
            for (int f = 0; f < term.count; ++f) {
                const core::Factor& factor = term.factors[static_cast<std::size_t>(f)];
                if (factor.kind != core::Factor::Kind::Power)
                    continue;
                // The logarithms of the snapshot: taken once per fit, not per derivative.
                visit(u, static_cast<Eigen::Index>(factor.exponent - 1),
                    fit.logX.col(factor.variable - 1).array());
            }
        }
    }

} // namespace

Eigen::MatrixXd jacobian(const FitSnapshot& fit, const Eigen::Ref<const Eigen::MatrixXd>& design,
    std::span<const double> coefficients, std::span<const double> exponents)
{
    const Eigen::Index n = fit.groups();
    const Eigen::Index p = design.cols();
    const auto k = static_cast<Eigen::Index>(exponents.size());
    Eigen::MatrixXd j = Eigen::MatrixXd::Zero(n, p + k);
    j.leftCols(p) = design;
    if (k == 0)
        return j;
    forEachPowerFactor(fit, [&](Eigen::Index u, Eigen::Index r, const auto& logs) {
        j.col(p + r).array()
            += coefficients[static_cast<std::size_t>(u)] * design.col(u).array() * logs;
    });
    return j;
}

ExponentDerivatives exponentDerivatives(const FitSnapshot& fit,
    const Eigen::Ref<const Eigen::MatrixXd>& design, std::span<const double> coefficients,
    const Eigen::Ref<const Eigen::VectorXd>& residuals, int exponents)
{
    ExponentDerivatives d;
    d.weighted = Eigen::MatrixXd::Zero(fit.groups(), exponents);
    d.paired = Eigen::MatrixXd::Zero(design.cols(), exponents);
    forEachPowerFactor(fit, [&](Eigen::Index u, Eigen::Index r, const auto& logs) {
        const double a = coefficients[static_cast<std::size_t>(u)];
        d.weighted.col(r).array() += a * design.col(u).array() * logs;
        d.paired(u, r) += (design.col(u).array() * logs).matrix().dot(residuals);
    });
    return d;
}

std::vector<std::string> parameterNames(int terms, int exponents)
{
    std::vector<std::string> names;
    for (int i = 0; i <= terms; ++i)
        names.push_back("a" + std::to_string(i));
    for (int r = 1; r <= exponents; ++r)
        names.push_back("k" + std::to_string(r));
    return names;
}

} // namespace quantem::analysis
