#pragma once

#include "core/ModelCatalogue.h"
#include "core/ScratchStore.h"

#include <array>
#include <optional>
#include <span>

namespace quantem::results {

/// The coefficients of a fitted catalogue model: a0..a6 and the reported exponents k1..k6. A
/// model uses a0..ae and k1..kk; the others are ignored.
struct CoefficientSet
{
    std::array<double, 7> a {};
    std::array<double, 6> k {};
};

/// y of a catalogue model (1..50) at x1, x2, x3, read from its formula: y = a0, then each term
/// added left to right as a coefficient times (or, for the inverse-ratio models, divided by) its
/// factors in order, so a3 * x1 ^ k3 * x2 ^ k4 is (a3 * x1^k3) * x2^k4. Powers are real powers
/// even for whole exponents. No value for any other model.
/// Throws Fault 5 (Log of x <= 0, negative base with a fractional exponent), 6 (a result beyond
/// the double range, 0/0), 11 (x/0, 0 to a negative power), 13 (an input that is not a number).
std::optional<double> evaluateModel(
    core::ModelId model, const CoefficientSet& coefficients, double x1, double x2, double x3);

/// The coefficient set of a record a0..ae, k1..kk (the first line of XB.sys, the label texts of
/// the main window): counts e and k from the catalogue. Missing values stay 0.
CoefficientSet coefficientsFromRecord(core::ModelId model, std::span<const double> record);

/// Reads a0..ae, k1..kk of model from the first line of XB.sys. Throws the store's faults
/// (53 missing, 62 short, 13 not a number); the empty set for a model outside 1..50.
CoefficientSet readPublishedCoefficients(const core::ScratchStore& store, core::ModelId model);

} // namespace quantem::results
