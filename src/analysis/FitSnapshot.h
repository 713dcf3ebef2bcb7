#pragma once

#include "core/ModelCatalogue.h"
#include "core/SampleData.h"
#include "core/Session.h"

#include <Eigen/Dense>
#include <optional>
#include <vector>

namespace quantem::analysis {

/// A finished fit as a plain value: the model, the groups it was fitted on, and what the fit
/// published. Everything in the analysis layer takes one of these and never reads files or
/// window states itself.
struct FitSnapshot
{
    const core::ModelDescriptor* model = nullptr;
    /// Terms besides the constant: e for models 1-50, the element count or degree m for 51/52.
    int terms = 0;
    /// Variables per group as the model reads them: x1..xv (columns), then y.
    Eigen::MatrixXd x;
    Eigen::VectorXd y;
    /// ln of every variable, kept once for the power models (whose variables are positive):
    /// their powers are formed as exp(k ln x) in every evaluation. Empty for 51 and 52.
    Eigen::MatrixXd logX;
    /// a0..a(terms) as published (XB.sys or hgb.sys).
    std::vector<double> coefficients;
    /// k1..kk as published, term offsets included (empty for models without exponents).
    std::vector<double> exponents;

    int groups() const noexcept { return static_cast<int>(y.size()); }
    int exponentCount() const noexcept { return static_cast<int>(exponents.size()); }
    /// Every fitted value counts: coefficients and exponents.
    int parameterCount() const noexcept
    {
        return static_cast<int>(coefficients.size() + exponents.size());
    }
    bool isLinearFamily() const noexcept { return core::usesLinearEngine(model->id); }
};

/// Builds a snapshot from the parts of a fit: the first n groups of samples in the model's
/// layout (y last), with the column offsets added for models 1-50 as the residual pass adds
/// them. coefficients are a0..a(terms), exponents k1..kk. No value when the samples hold fewer
/// than n groups, a number cannot be read, a variable is not positive where a power model needs
/// it, or the counts do not match the model.
std::optional<FitSnapshot> makeSnapshot(const core::ModelDescriptor& model, int terms,
    const core::SampleData& samples, int n, std::vector<double> coefficients,
    std::vector<double> exponents, const std::vector<double>& offsets);

/// The fit the main window shows now: the model of xx.sys, N from Text2 (and m from Text4 for
/// 51/52), the coefficients of XB.sys or hgb.sys, the offsets of culi.sys and data.qtm. No value
/// when there is no finished fit to describe (an empty a0 label, a missing or short file).
std::optional<FitSnapshot> takeSnapshot(const core::Session& session);

} // namespace quantem::analysis
