#pragma once

#include "core/Fault.h"
#include "core/ModelCatalogue.h"
#include "core/ScratchStore.h"
#include "core/WindowStates.h"
#include "results/EvaluateModel.h"

#include <optional>
#include <span>
#include <vector>

namespace quantem::results {

/// Steps across the x range of a model curve.
inline constexpr int kCurveSteps = 3000;

/// A position on the chart window in twips (y down).
struct TwipPoint
{
    double x = 0.0;
    double y = 0.0;
    bool operator==(const TwipPoint&) const = default;
};

/// The data range shown on the axes.
struct PlotRange
{
    double xMin = 0.0;
    double yMin = 0.0;
    double xMax = 0.0;
    double yMax = 0.0;
};

/// The values at which the variables that are not plotted are held.
struct HeldValues
{
    double x1 = 0.0;
    double x2 = 0.0;
    double x3 = 0.0;
};

/// The model variable that runs along the X axis; None leaves every variable at its held value.
enum class PlottedVariable
{
    None,
    X1,
    X2,
    X3
};

/// Screen position of a data value on the plot rectangle:
/// 2930 + (x - xMin)·8650 / (xMax - xMin) and 7730 - (y - yMin)·7430 / (yMax - yMin).
/// Throws Fault 11 or 6 (an empty range, a result beyond the double range).
double plotX(double x, double xMin, double xMax);
double plotY(double y, double yMin, double yMax);

/// The sampled points of a curve in drawing order, and the fault that ended the sampling early.
/// The points sampled before a fault stay: they are drawn all the same.
struct SampledCurve
{
    std::vector<TwipPoint> points;
    std::optional<core::FaultCode> failure;
};

/// Samples a catalogue model (1..50) from just right of xMin to xMax in 3000 steps. The held
/// values are first rounded to single precision; the plotted variable then takes each x.
/// Any fault (of the evaluation, the mapping, the rounding, or a point counter passing the 16-bit
/// range) ends the sampling and is returned in failure.
SampledCurve sampleModelCurve(core::ModelId model, const CoefficientSet& coefficients,
    const PlotRange& range, PlottedVariable plotted, const HeldValues& held);

/// Samples b0 + b1·x^1 + ... + bn·x^n the same way, each power computed on its own and the terms
/// added from b0 upward. An empty coefficient list is the zero polynomial.
SampledCurve samplePolynomialCurve(std::span<const double> coefficients, const PlotRange& range);

/// b0..bn of the polynomial from hgb.sys, n being Val of the main window's Text4 (every whole i
/// from 0 to n). Throws the store's faults (53 missing, 62 short, 13 not a number).
std::vector<double> readPolynomialCoefficients(
    const core::ScratchStore& store, const core::Form1& form1);

/// Which curve failed: the two samplers tell their failures in different words.
enum class CurveKind
{
    Model,
    Polynomial
};

/// Shows the message window that a sampling failure calls for: invalid argument, overflow and
/// type mismatch in Form5, bad file name or number in Form9; nothing for any other fault.
void reportCurveFailure(core::MessageWindows& messages, CurveKind kind, core::FaultCode failure);

} // namespace quantem::results
