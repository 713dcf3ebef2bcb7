#pragma once

#include "engine_power/ExponentSet.h"

#include <array>
#include <string_view>

namespace quantem::power {

/// a0..a6 of a fit; those beyond the model's element count are 0.
using Coefficients = std::array<double, 7>;

/// The grid to which published exponents are cut.
inline constexpr double kExponentGrid = 985000000000.0;

/// Shown in Form5 when the published result cannot be stored; the error statistics and the
/// report are then left as they were.
inline constexpr std::string_view kResultNotSavedText
    = "The result could not be saved to XB.sys; error statistics and report not updated !";

/// An exponent cut to the grid 1/985000000000 toward minus infinity.
double cutExponent(double exponent);

/// Makes the final fit visible: cuts the shared exponents to the grid and adds the model's term
/// offsets back (in place), sets Label2..Label8, Label11..Label16 and Label17..Label19, writes
/// XB.sys (a0..ae, k1..kk; R, F, S) and runs the residual pass and report on what XB.sys holds.
/// When XB.sys cannot be written, Form5 says so and the residual pass does not run. A model
/// outside 1..50 publishes nothing.
void publishPowerResult(const PowerRun& run, core::ModelId model, const Coefficients& a, double r,
    double f, double s, ExponentSet& exponents);

} // namespace quantem::power
