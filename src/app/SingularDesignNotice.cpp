#include "app/SingularDesignNotice.h"

#include "analysis/ColumnScaling.h"
#include "analysis/FitSnapshot.h"
#include "analysis/ModelDesign.h"

#include <Eigen/Dense>
#include <cmath>
#include <vector>

namespace quantem::app {

namespace {

    // A share of a dependent column below this is rounding, not part of the dependence.
    constexpr double kShareLimit = 1E-8;

    std::string listed(const std::vector<std::string>& names)
    {
        std::string text;
        for (std::size_t i = 0; i < names.size(); ++i) {
            if (i > 0)
                text += i + 1 == names.size() ? " and " : ", ";
            text += names[i];
        }
        return text;
    }

} // namespace

std::optional<std::string> singularDesignNotice(const core::Session& session)
{
    const std::optional<analysis::FitSnapshot> fit = analysis::takeSnapshot(session);
    if (!fit)
        return std::nullopt;
    const Eigen::MatrixXd design = analysis::designMatrix(*fit, fit->exponents);
    if (!design.allFinite() || design.rows() < design.cols())
        return std::nullopt;
    // The rank is decided as the stable solve decides it: on columns of about unit length, by
    // column-pivoted Householder QR, so that a0 beside x^10 is judged by shape, not by units.
    const Eigen::MatrixXd a = design * analysis::columnScales(design).cwiseInverse().asDiagonal();
    const Eigen::ColPivHouseholderQR<Eigen::MatrixXd> qr(a);
    const Eigen::Index rank = qr.rank();
    const Eigen::Index columns = a.cols();
    if (rank == columns)
        return std::nullopt;
    // Each column beyond the rank (in pivot order) is a combination of the pivot columns: it and
    // the pivot columns with a share in it are what cannot be told apart.
    const Eigen::MatrixXd shares = qr.matrixR()
                                       .topLeftCorner(rank, rank)
                                       .triangularView<Eigen::Upper>()
                                       .solve(qr.matrixR().topRightCorner(rank, columns - rank));
    std::vector<bool> dependent(static_cast<std::size_t>(columns), false);
    const auto& order = qr.colsPermutation().indices();
    for (Eigen::Index c = rank; c < columns; ++c) {
        dependent[static_cast<std::size_t>(order(c))] = true;
        for (Eigen::Index j = 0; j < rank; ++j) {
            if (std::abs(shares(j, c - rank)) > kShareLimit)
                dependent[static_cast<std::size_t>(order(j))] = true;
        }
    }
    const std::vector<std::string> names = analysis::parameterNames(fit->terms, 0);
    std::vector<std::string> named;
    for (std::size_t i = 0; i < dependent.size(); ++i) {
        if (dependent[i])
            named.push_back(names[i]);
    }
    return "The design of this fit is singular: the columns of " + listed(named)
        + " are linearly dependent, so these coefficients cannot be told apart and the values "
          "published for them are not the only ones that fit as well. Fit fewer terms, or use "
          "samples whose columns vary independently.";
}

} // namespace quantem::app
