#!/usr/bin/env python3
"""Single-line mutations of the program, one at a time, against the tests.

Each mutation names a source file, a piece of one line and what it becomes. The script copies the
tracked sources into a build folder of its own (the working tree is never touched), builds and
runs the test programs the chosen mutations need there once unmutated, then for every mutation:
edits the copy, builds incrementally, runs the test programs of the layers that can see the
change (stopping at the first failure), and puts the line back (ccache, when installed, gives
the restored file's object back at once). A line is found by its text, so edits elsewhere in
the file do not matter; a mutation whose text is gone (or is no longer on exactly one line) is
skipped and reported.

Prints one row per mutation and the share caught. "Equivalent" mutations (they cannot change
any output, or their line cannot be reached) are counted apart.

    scripts/mutate.py [--only SUBSTRING ...] [--list] [--build DIR] [--timeout SECONDS]
                      [--exclude GTEST_PATTERN ...]
"""

import argparse
import os
import shutil
import signal
import subprocess
import sys
import time
from dataclasses import dataclass
from pathlib import Path

ROOT = Path(__file__).resolve().parent.parent


@dataclass
class Mutation:
    file: str  # under src/
    find: str  # a piece of exactly one line (or of the occurrence-th line holding it)
    replace: str
    what: str
    occurrence: int = 0  # 0: the piece must be on one line only; n: the n-th line holding it
    equivalent: bool = False
    first: bool = False  # a fault a user would see that once went unnoticed: tried first


M = Mutation

# fmt: off
MUTATIONS = [
    # core: checked arithmetic, number text, records, store
    M("core/CheckedMath.cpp", "if (a == 0.0 || std::isnan(a))", "if (std::isnan(a))", "0/0 raised as a division by zero"),
    M("core/CheckedMath.cpp", "if (base == 0.0 && exponent < 0.0)", "if (base == 0.0 && exponent <= 0.0)", "0^0 raises"),
    M("core/CheckedMath.cpp", "if (base < 0.0 && std::trunc(exponent) != exponent)", "if (base < 0.0)", "negative base with a whole exponent raises"),
    M("core/CheckedMath.cpp", "if (!(x > 0.0))", "if (x < 0.0)", "Log(0) passes"),
    M("core/CheckedMath.cpp", "const double r = std::nearbyint(x);", "const double r = std::round(x);", "16-bit rounding: halves away from zero"),
    M("core/CheckedMath.cpp", "const double r = std::nearbyint(x);", "const double r = std::trunc(x);", "16-bit conversion truncates"),
    M("core/CheckedMath.cpp", "if (r < -32768.0 || r > 32767.0)", "if (r < -32768.0 || r >= 32767.0)", "32767 overflows"),
    M("core/CheckedMath.cpp", "if (!std::isfinite(f))", "if (false)", "single overflow not raised"),
    M("core/NumberText.cpp", 'return "0"; // also turns -0 into "0"', 'return value < 0.0 || std::signbit(value) ? "-0" : "0";', "negative zero shown as -0"),
    M("core/NumberText.cpp", "if (exponent >= -4 && exponent <= 14) {", "if (exponent >= -5 && exponent <= 14) {", "record notation: 1E-05 written plainly"),
    M("core/NumberText.cpp", "if (exponent >= -4 && exponent <= 14) {", "if (exponent >= -4 && exponent <= 15) {", "record notation: 1E+15 written plainly"),
    M("core/NumberText.cpp", "|| text[i] == 'D' || text[i] == 'd')) {", ")) {", "D exponents not read"),
    M("core/NumberText.cpp", "if (exponentDigits > 0)", "if (true)", "a dangling exponent letter is taken"),
    M("core/NumberText.cpp", "(text[start] == ' ' || text[start] == '\\t')", "(text[start] == ' ')", "Val does not skip leading tabs"),
    M("core/NumberText.cpp", '"E%c%02d"', '"E%c%d"', "record exponent with one digit"),
    M("core/NumberText.cpp", "return formatG(15, value);", "return formatG(14, value);", "display text with 14 digits"),
    M("core/NumberText.cpp", "return formatG(7, static_cast<double>(value));", "return formatG(6, static_cast<double>(value));", "single text with 6 digits"),
    M("core/Record.cpp", "bool isLineEnd(int c) { return c == '\\r' || c == '\\n'; }", "bool isLineEnd(int c) { return c == '\\n'; }", "CR alone ends no line"),
    M("core/Record.cpp", "bool isBlank(int c) { return c == ' ' || c == '\\t'; }", "bool isBlank(int c) { return c == ' '; }", "tabs are not skipped around items"),
    M("core/Record.cpp", "        if (peek() == ',')", "        if (false)", "the comma after an item makes an empty item"),
    M("core/Record.cpp", "        return 0.0;", "        return 1.0;", "an empty item reads as 1"),
    M("core/Record.cpp", "            m_next += 3;", "            m_next += 2;", "a byte-order mark is not skipped whole"),
    M("core/Record.h", "inline constexpr std::size_t kMaxItemLength = 4096;", "inline constexpr std::size_t kMaxItemLength = 4095;", "an item of 4096 characters cut"),
    M("core/AtomicFile.cpp", "    error = operations.write(file, content);", "    operations.write(file, content);", "atomic write keeps going after a failed write", first=True),
    M("core/AtomicFile.cpp", "        error = closeError;", "        error = std::error_code();", "atomic write keeps going after a failed close"),
    M("core/AtomicFile.cpp", "        error = operations.rename(temporary, path);", "        operations.rename(temporary, path);", "a failed rename is not told"),
    # linear engine
    M("engine_linear/NormalSystem.h", "inline constexpr double kPivotFloor = 1E-100;", "inline constexpr double kPivotFloor = 1E-90;", "a pivot floor of another size", first=True),
    M("engine_linear/NormalSystem.cpp", "if (pivot == 0.0) {", "if (pivot <= 0.0) {", "negative pivots replaced by the floor"),
    M("engine_linear/NormalSystem.cpp", "sums.lyy = checkFinite(m_sumYY - divide(", "sums.lyy = checkFinite(m_sumYY + divide(", "Lyy sign"),
    M("engine_linear/NormalSystem.cpp", "const float yy = static_cast<float>(y * y);", "const double yy = y * y;", "four-number y squared kept in double"),
    M("engine_linear/NormalSystem.cpp", "for (int r = 1; r <= m - 1; ++r) {", "for (int r = 1; r < m - 1; ++r) {", "substitution skips a row"),
    M("engine_linear/FitStatistics.cpp", "if (test.q == 0.0 && test.u != 0.0", "if (std::fabs(test.q) < 1E-12 && test.u != 0.0", "a perfect fit taken on a merely tiny Q", first=True),
    M("engine_linear/FitStatistics.cpp", "test.f = 1E+20;", "test.f = 1E+19;", "perfect-fit F"),
    M("engine_linear/FitStatistics.cpp", "const double residualFreedom = sums.n - m;", "const double residualFreedom = sums.n - m - 1.0;", "residual degrees of freedom"),
    M("engine_linear/FitStatistics.cpp", "test.r = core::squareRoot(std::fabs(divide(test.u, sums.lyy)));", "test.r = core::squareRoot(std::fabs(divide(test.u, sums.lyy + 1E-9)));", "R slightly off"),
    M("engine_linear/LinearFamilyFit.cpp", "if (regressors > kMaxRegressors) {", "if (regressors >= kMaxRegressors) {", "50 regressors refused", first=True),
    M("engine_linear/LinearFamilyFit.cpp", "std::fabs(core::divide(e, fitted))", "std::fabs(core::divide(e, y))", "relative error against y"),
    M("engine_linear/LinearFamilyFit.cpp", "if (std::fabs(e) > biggest)", "if (e > biggest)", "biggest error ignores the sign"),
    M("engine_linear/LinearFamilyFit.cpp", "core::toSingle(core::divide(sumAbs, groups))", "core::toSingle(core::divide(sumAbs, groups - 1.0))", "mean error over n - 1"),
    # power engine
    # The downward candidates start from a single and fall by 0.01: t - 0.01 is 0 only for
    # t = 0.01 exactly, reached only from 0.02 exactly (no double d has d - 0.01 == 0.02), and
    # neither is a single, so the candidate is never 0.
    M("engine_power/ExponentSearch.cpp", "if (t == 0.0)", "if (false)", "exponent 0 not replaced", equivalent=True),
    M("engine_power/ExponentSearch.cpp", "} while (!(dF < 0.0f || t <= kLowerBound));", "} while (!(dF < 0.0f || t < kLowerBound));", "lower bound off by one step"),
    M("engine_power/ExponentSearch.cpp", "if (dF > 0.0f) {", "if (dF >= 0.0f) {", "a change of 0 searches downward"),
    M("engine_power/ExponentSearch.cpp", "const int last = exponentCount + 1;", "const int last = exponentCount;", "the last exponent is never searched"),
    M("engine_power/ExponentSearch.cpp", "t = t + kExponentStep;", "t = t + kExponentStep + kExponentStep;", "the downward search steps back two steps", occurrence=2),
    M("engine_power/PowerEvaluation.cpp", "in.c4 = core::toInteger16(offsets[3]);", "in.c4 = static_cast<std::int16_t>(offsets[3]);", "the fourth offset truncated instead of rounded", first=True),
    M("engine_power/PowerEvaluation.cpp", "g.y = add(g.y, in.c2);", "g.y = add(g.y, in.c1);", "two-number y takes the x offset"),
    M("engine_power/PowerEvaluation.cpp", "if (size == 2 && g.x1 < 0.0)", "if (size == 2 && g.x1 < -1.0)", "negative x between -1 and 0 passes"),
    M("engine_power/PowerEvaluation.cpp", "return g.y == 0.0;", "return false;", "y = 0 passes"),
    M("engine_power/PowerEvaluation.cpp", "for (int r = index + 1; r <= k; ++r)", "for (int r = index + 1; r < k; ++r)", "the last waiting exponent keeps its old value"),
    M("engine_power/PowerEvaluation.cpp", "criterion, core::subtract(criterion, previous), test.r, test.f, test.s);", "criterion, core::subtract(previous, criterion), test.r, test.f, test.s);", "criterion change sign"),
    M("engine_power/PowerEvaluation.cpp", "panels[4] = core::doubleText(test.r - 1.5);", "panels[4] = core::doubleText(test.r - 1.0);", "status panel 5 shift"),
    M("engine_power/PowerEvaluation.cpp", "g.y = core::toSingle(static_cast<double>(static_cast<float>(in.c4) + yRead));", "g.y = static_cast<double>(in.c4) + static_cast<double>(yRead);", "four-number y plus offset in double"),
    M("engine_power/PowerEvaluation.cpp", "if (in.e != static_cast<int>(terms.size()))", "if (in.e > static_cast<int>(terms.size()))", "too few elements accepted"),
    M("engine_power/CriterionHandoff.cpp", "        m_handoff.flush();", "        ;", "a stopped search leaves r1.sys and rr.sys of its first evaluation", first=True),
    M("engine_power/CriterionHandoff.cpp", "{ m_change, m_r, m_f, m_s }", "{ m_change, m_r, m_f, m_f }", "held rr.sys written with F for S"),
    M("engine_power/PublishPowerResult.cpp", "return std::floor(exponent * kExponentGrid) / kExponentGrid;", "return std::round(exponent * kExponentGrid) / kExponentGrid;", "exponent rounded instead of cut"),
    M("engine_power/PublishPowerResult.cpp", "exponent = cutExponent(exponent) + core::exponentOffset(model, index);", "exponent = cutExponent(exponent);", "term offset not added back"),
    M("engine_power/PublishPowerResult.cpp", "form.label(2 + i) = i <= e ?", "form.label(2 + i) = i < e ?", "last coefficient label empty"),
    M("engine_power/PublishPowerResult.cpp", "form.label(10 + index) = index <= k ?", "form.label(10 + index) = index < k ?", "last exponent label empty"),
    # results: evaluation, calculator, residual pass, report, curves
    M("results/Calculator.cpp", "for (int r = 0; r < 6; ++r)", "for (int r = 0; r < 5; ++r)", "the calculator ignores the sixth exponent", first=True),
    M("results/Calculator.cpp", "for (int i = 0; i < 7; ++i)", "for (int i = 0; i < 6; ++i)", "the calculator ignores a6"),
    M("results/Calculator.cpp", "if (fault.code() == FaultCode::InvalidArgument)", "if (fault.code() != FaultCode::InvalidArgument)", "calculator tells the wrong faults"),
    M("results/EvaluateModel.cpp", "value = core::divide(value, x);", "value = core::multiply(value, x);", "reciprocal factor multiplies"),
    M("results/EvaluateModel.cpp", "value = core::multiply(value, core::naturalLog(x));", "value = core::multiply(value, std::log10(x));", "decimal logarithm"),
    M("results/EvaluateModel.cpp", "for (std::size_t r = 0; r < k && e + 1 + r < record.size(); ++r)", "for (std::size_t r = 0; r + 1 < k && e + 1 + r < record.size(); ++r)", "last published exponent not read"),
    M("results/PowerResidualPass.cpp", "for (double group = 1.0; group <= n; group += 1.0) {", "for (double group = 1.0; group < n; group += 1.0) {", "residual pass skips the last group"),
    M("results/PowerResidualPass.cpp", "if (error > sums.biggest)", "if (error < sums.biggest)", "biggest error is the smallest"),
    M("results/ResultReport.cpp", "!(static_cast<double>(meanError) < best)", "!(static_cast<double>(meanError) <= best)", "an equal mean error counts as better"),
    M("results/ResultReport.cpp", "if (offsets[c] == 0.0)", "if (offsets[c] < 0.0)", "zero offsets reported"),
    M("results/ResultReport.cpp", 'clauses += ";";', 'clauses += ",";', "offset clauses joined by commas"),
    M("results/CurveSampling.cpp", "} while (!(x >= range.xMax));", "} while (!(x > range.xMax));", "curve sampled one step past the range"),
    M("results/CurveSampling.cpp", "for (std::size_t i = 1; i < coefficients.size(); ++i)", "for (std::size_t i = 1; i + 1 < coefficients.size(); ++i)", "polynomial curve drops its last term"),
    M("results/CurveSampling.cpp", "for (double i = 0.0; i <= n; i += 1.0)", "for (double i = 0.0; i < n; i += 1.0)", "polynomial coefficients read one short"),
    # chart
    M("chart/SamplePlot.cpp", "for (double i = 1.0; i <= n; i += 1.0) {", "for (double i = 1.0; i < n; i += 1.0) {", "the chart's range scan skips the last group", occurrence=1, first=True),
    M("chart/SamplePlot.cpp", "if (y < range.minY)", "if (y > range.minY)", "range minimum of y"),
    M("chart/ChartAxes.cpp", "double xTickPosition(int j) { return j < 9 ?", "double xTickPosition(int j) { return j < 8 ?", "grid line at the right edge early"),
    M("chart/ChartAxes.cpp", 'form2.Label7 = " 0";', 'form2.Label7 = "0";', "plain-axes origin label"),
    M("chart/TickLabel.cpp", "const bool roundUp = decimals[2] >= '5';", "const bool roundUp = decimals[2] > '5';", "tick labels round 5 down"),
    # The digits come from scientific notation, so the whole part never starts with a zero.
    M("chart/TickLabel.cpp", "whole.erase(0, whole.find_first_not_of('0'));", ";", "tick labels keep a leading zero", equivalent=True),
    # commands
    M("app/Regression.cpp", "if (values[j] != previous[j])", "if (true)", "a variation mark overwritten by a later zero difference", first=True),
    M("app/Regression.cpp", "if (n <= 2 || m == 0 || !isWholeInteger16(n)) {", "if (n <= 2 || !isWholeInteger16(n)) {", "Text3 = 0 on a power model passes", first=True),
    M("app/Regression.cpp", "if (n <= 2 || m == 0 || !isWholeInteger16(n)) {", "if (n < 2 || m == 0 || !isWholeInteger16(n)) {", "two groups pass"),
    M("app/Regression.cpp", "n >= -32768.0 && n <= 32767.0; }", "n >= -32768.0 && n < 32767.0; }", "32767 groups refused"),
    M("app/Regression.cpp", "for (int column = size; size > 0 && column < 4; ++column)", "for (int column = size; size > 0 && column < 3; ++column)", "the fourth column of a shorter group counts as constant"),
    M("app/Regression.cpp", "if (marks[column] == 0.0) {", "if (marks[column] == 0.0 && false) {", "a constant column passes"),
    M("app/Commands.cpp", "writeNumber(session, ScratchFile::Jc, 9.85E+13);", "writeNumber(session, ScratchFile::Jc, 9.85E+14);", "start-up JC.sys value"),
    M("app/Commands.cpp", "writeNumber(session, ScratchFile::Jc, 1E+20);", "writeNumber(session, ScratchFile::Jc, 1E+19);", "sample-count edit JC.sys value"),
    M("app/Commands.cpp", "if (session.form1.Text2 == text)", "if (false)", "an unchanged sample count resets JC.sys"),
    M("app/ModelSelection.cpp", 'form.Text4 = model.exponents == 0 ? "" : "1";', 'form.Text4 = model.exponents == 0 ? "" : "0.5";', "initial value on selection"),
    M("app/ModelSelection.cpp", "if (model.id != 2 && model.id != 3 && model.id != 4)", "if (model.id != 2 && model.id != 3)", "qs.sys written for model 4"),
    # the normal equations' elimination, seen by its own layer
    M("engine_linear/NormalSystem.cpp", "double pivot = at(p, p);", "double pivot = at(p, p - 1);", "elimination pivot from the wrong column", first=True),
    M("engine_linear/NormalSystem.cpp", "for (int p = m; p >= 2; --p) {", "for (int p = m; p >= 3; --p) {", "elimination stops a pivot early"),
    M("engine_linear/NormalSystem.cpp", "for (int r = 1; r <= p - 1; ++r) {", "for (int r = 1; r < p - 1; ++r) {", "elimination skips the row above the pivot"),
    M("engine_linear/NormalSystem.cpp", "const double f = divide(at(r, p), pivot);", "const double f = divide(at(r, r), pivot);", "row factor from the diagonal"),
    M("engine_linear/NormalSystem.cpp", "for (int c = 1; c <= p - 1; ++c)", "for (int c = 1; c < p - 1; ++c)", "row operation skips a column"),
    M("engine_linear/NormalSystem.cpp", "ref(r, c) = checkFinite(at(r, c) - checkFinite(at(p, c) * f));", "ref(r, c) = checkFinite(at(r, c) + checkFinite(at(p, c) * f));", "row operation adds"),
    M("engine_linear/NormalSystem.cpp", "ref(r, m + 1) = checkFinite(at(r, m + 1) - checkFinite(at(p, m + 1) * f));", "ref(r, m + 1) = checkFinite(at(r, m + 1) - checkFinite(at(r, m + 1) * f));", "right-hand side takes its own row"),
    M("engine_linear/NormalSystem.cpp", "for (int i = r + 1; i <= m; ++i)", "for (int i = r + 1; i < m; ++i)", "floored substitution skips the last row", occurrence=1),
    M("engine_linear/NormalSystem.cpp", "for (int i = r + 1; i <= m; ++i)", "for (int i = r + 1; i < m; ++i)", "unguarded substitution skips the last row", occurrence=2),
    M("engine_linear/NormalSystem.cpp", "ref(i, m + 1) = checkFinite(at(i, m + 1) - checkFinite(at(i, r) * at(r, m + 1)));", "ref(i, m + 1) = checkFinite(at(i, m + 1) + checkFinite(at(i, r) * at(r, m + 1)));", "floored substitution adds", occurrence=1),
    M("engine_linear/NormalSystem.cpp", "ref(i, m + 1) = checkFinite(at(i, m + 1) - checkFinite(at(i, r) * at(r, m + 1)));", "ref(i, m + 1) = checkFinite(at(i, m + 1) - checkFinite(at(i, i) * at(r, m + 1)));", "unguarded substitution by the diagonal", occurrence=2),
    M("engine_linear/NormalSystem.cpp", "ref(m, m + 1) = divide(at(m, m + 1), at(m, m));", "ref(m, m + 1) = at(m, m + 1);", "last coefficient not divided"),
    M("engine_linear/NormalSystem.cpp", "if (at(r, r) == 0.0)", "if (false)", "a zero diagonal met in the substitution is not floored"),
    M("engine_linear/NormalSystem.cpp", "if (!eliminate(false))", "if (false)", "the power solve goes on past a zero pivot"),
    M("engine_linear/NormalSystem.cpp", "            if (!useFloor)", "            if (false)", "the power solve floors a zero pivot"),
    # power engine: a damaged exponent count
    M("engine_power/ExponentSearch.cpp", "if (exponentCount < 0 || exponentCount > kMaxExponents || core::groupSize(model) == 0)", "if (exponentCount < 0 || exponentCount > kMaxExponents + 1 || core::groupSize(model) == 0)", "seven exponents searched", first=True),
    M("engine_power/ExponentSearch.cpp", "if (exponentCount < 0 || exponentCount > kMaxExponents || core::groupSize(model) == 0)", "if (exponentCount < 0 || exponentCount >= kMaxExponents || core::groupSize(model) == 0)", "six exponents refused"),
    M("engine_power/ExponentSearch.cpp", "if (exponentCount < 0 || exponentCount > kMaxExponents || core::groupSize(model) == 0)", "if (exponentCount < 0 || core::groupSize(model) == 0)", "no bound on the exponent count"),
    # analysis: the kept designs, the driver's kept points, the refinement's choices
    M("analysis/SnapshotResiduals.cpp", "        || !std::equal(", "        && !std::equal(", "the whole model's design never refreshed", first=True),
    M("analysis/ProjectedResiduals.cpp", "if (m_last.exponents.size() == k.size() && m_last.exponents == k)", "if (m_last.exponents.size() == k.size() || m_last.exponents == k)", "the projected design never refreshed"),
    M("analysis/LeastSquaresDriver.cpp", "if (m_last && m_lastU.size() == u.size() && m_lastU == u)", "if (m_last && m_lastU.size() == u.size())", "the driver's Jacobian kept at another point"),
    M("analysis/LeastSquaresDriver.cpp", "if (!(m_values && m_valuesU.size() == u.size() && m_valuesU == u)) {", "if (!(m_values && m_valuesU.size() == u.size())) {", "the driver's residuals kept at another point"),
    M("analysis/LeastSquaresDriver.cpp", "        if (end.sse < best.sse)", "        if (end.sse > best.sse)", "the driver keeps the worst run"),
    M("analysis/Refinement.cpp", "if (sse < result.startSse) {", "if (sse > result.startSse) {", "a refinement taken when it is worse"),
    M("analysis/Refinement.cpp", "if (ends[i].sse < ends[bestIndex].sse)", "if (ends[i].sse > ends[bestIndex].sse)", "the worst exponent search chosen"),
    M("analysis/Refinement.cpp", "if (start.exponents.size() == fit.exponents.size())", "if (start.exponents.size() != fit.exponents.size())", "given starts of the right size passed over"),
    M("analysis/Refinement.cpp", "if (fit.groups() <= fit.parameterCount()) {", "if (fit.groups() < fit.parameterCount()) {", "as many groups as parameters refined"),
    # chart window and plots: saves and prints that tell the truth
    M("chart/ChartWindow.cpp", "if (!exporter.savePicture(*form2.Picture1, path))", "if (exporter.savePicture(*form2.Picture1, path))", "bitmap save reports a good save, not a failed one", first=True),
    M("chart/qt/ChartWindowView.cpp", '&& static_cast<bool>(writeExportedBytes(bitmap.data(), path));', '&& !static_cast<bool>(writeExportedBytes(bitmap.data(), path));', "bitmap writer's outcome inverted"),
    M("chart/qt/ChartWindowView.cpp", '&& static_cast<bool>(writeExportedBytes(bitmap.data(), path));', '&& (writeExportedBytes(bitmap.data(), path), true);', "bitmap writer's outcome dropped"),
    M("chart/qt/ChartFile.cpp", "    if (size.isEmpty())", "    if (false)", "a drawing of no pixels is attempted"),
    M("chart/qt/ChartFile.cpp", "    if (!painter.begin(&printer))", "    if (false)", "printing never begins on the printer"),
    # A painter that did not begin paints nothing, and its end() is then false: the same outcome.
    M("chart/qt/ChartFile.cpp", "    if (!painter.begin(&printer))", "    if (!painter.begin(&printer) && false)", "a printer that cannot be painted on is painted on", equivalent=True),
    M("plot/qt/PlotFile.cpp", "if (!written && !std::filesystem::is_directory(folderOf(path), error))", "if (!written && std::filesystem::is_directory(folderOf(path), error))", "a failed plot save blames the folder wrongly"),
    M("analysis/qt/FitDetailsWindow.cpp", "if (dialog.exec() != QDialog::Accepted)", "if (dialog.exec() == QDialog::Accepted)", "residual plot printed on Cancel", first=True),
    M("analysis/qt/FitDetailsWindow.cpp", "if (!printPlot(printer))", "if (printPlot(printer))", "residual plot print reports a good print"),
    M("plot/qt/PlotView.cpp", "if (dialog.exec() != QDialog::Accepted)", "if (dialog.exec() == QDialog::Accepted)", "fit plot printed on Cancel"),
    M("plot/qt/PlotView.cpp", "if (!printPlot(printer))", "if (printPlot(printer))", "fit plot print warns after a good print"),
    # data program: rows and cells
    M("data_program/SampleEditorWindow.cpp", "const int row = current.isValid() && current.row() < rows ? current.row() + 1 : rows;", "const int row = current.isValid() && current.row() < rows ? current.row() : rows;", "Add row above the cursor", first=True),
    M("data_program/SampleEditorWindow.cpp", "const int row = current.isValid() && current.row() < rows ? current.row() + 1 : rows;", "const int row = current.isValid() ? current.row() + 1 : rows;", "Add row on the spare row adds past the end"),
    M("data_program/SampleEditorWindow.cpp", "m_view->setCurrentIndex(m_model->index(row, 0));", "m_view->setCurrentIndex(m_model->index(row + 1, 0));", "Add row leaves the cursor below the new row"),
    # An empty selection changes no cell, and a change of nothing leaves no undo step.
    M("data_program/SampleEditorWindow.cpp", "    if (cells.empty())", "    if (false)", "an empty selection cleared repaints the table", equivalent=True),
    M("data_program/SampleEditorWindow.cpp", "    m_model->cellsChanged();", "    ;", "cleared cells not repainted"),
    M("data_program/SampleEditor.cpp", "if (row < m_table.rowCount())", "if (row <= m_table.rowCount())", "clearing the spare row's cells"),
    M("data_program/SampleEditor.cpp", "m_table.setCell(row, column, std::nullopt);", "m_table.setCell(row, 0, std::nullopt);", "Clear cells empties the first column instead"),
    # quantem-fit's ranking options
    M("cli/RankCommand.cpp", "if (!parseWhole(value, 2, options.groupSize) || options.groupSize > kMaxGroupSize)", "if (!parseWhole(value, 3, options.groupSize) || options.groupSize > kMaxGroupSize)", "--group-size 2 refused", first=True),
    M("cli/RankCommand.cpp", "if (!parseWhole(value, 2, options.groupSize) || options.groupSize > kMaxGroupSize)", "if (!parseWhole(value, 2, options.groupSize) || options.groupSize >= kMaxGroupSize)", "--group-size 51 refused"),
    M("cli/RankCommand.cpp", "return result.ec == std::errc() && result.ptr == end && value >= lowest;", "return result.ec == std::errc() && value >= lowest;", "a whole number followed by other text taken"),
]
# fmt: on

# The test programs that can see a change in each folder, cheapest first. The engines' scratch
# files are compared byte for byte only by the recorded runs of quantem-fit (test_cli, slow).
# A file takes the entry of its longest folder prefix ("analysis/qt" before "analysis").
TESTS_OF = {
    "core": ["test_core", "test_engine_linear", "test_results", "test_engine_power", "test_app"],
    "engine_linear": ["test_engine_linear", "test_engine_power", "test_app", "test_cli"],
    "results": ["test_results", "test_engine_power", "test_app", "test_cli"],
    "engine_power": ["test_engine_power", "test_app", "test_cli"],
    "chart": ["test_chart", "test_chart_qt", "test_app"],
    "chart/qt": ["test_chart_qt", "test_plot_qt", "test_analysis_qt"],
    "app": ["test_app"],
    "cli": ["test_cli"],
    "analysis": ["test_analysis", "test_equation", "test_analysis_qt"],
    "equation": ["test_equation", "test_cli"],
    "analysis/qt": ["test_analysis_qt"],
    "plot": ["test_plot", "test_plot_qt"],
    "plot/qt": ["test_plot_qt", "test_analysis_qt"],
    "data_program": ["test_data_program"],
}
ALL_TESTS = ["test_core", "test_engine_linear", "test_results", "test_engine_power", "test_chart", "test_app", "test_cli",
             "test_analysis", "test_equation", "test_plot", "test_chart_qt", "test_analysis_qt", "test_plot_qt",
             "test_data_program"]


def tests_of(mutation: Mutation):
    """The test programs that can see mutation, from the entry of its longest folder prefix."""
    folders = mutation.file.split("/")[:-1]
    for length in range(len(folders), 0, -1):
        key = "/".join(folders[:length])
        if key in TESTS_OF:
            return TESTS_OF[key]
    raise KeyError(f"no test programs for {mutation.file}")


def run(command, cwd, timeout=None, quiet=True):
    return subprocess.run(command, cwd=cwd, timeout=timeout, stdout=subprocess.PIPE if quiet else None,
                          stderr=subprocess.STDOUT if quiet else None, text=True)


def sync_tree(tree: Path):
    """Copies the tracked and new files of the repository into tree; unchanged files keep their times."""
    files = subprocess.run(["git", "ls-files", "-co", "--exclude-standard", "-z"], cwd=ROOT,
                           stdout=subprocess.PIPE, check=True).stdout.split(b"\0")
    # A file removed from the repository goes from the copy too: the build takes every source
    # file of a folder, and a stale one would be built with the others.
    wanted = {name.decode() for name in files if name}
    for stale in [p for p in tree.rglob("*") if p.is_file() and p.relative_to(tree).as_posix() not in wanted]:
        stale.unlink()
    for name in files:
        if not name:
            continue
        relative = name.decode()
        source = ROOT / relative
        target = tree / relative
        if not source.is_file():
            continue
        if target.exists() and target.read_bytes() == source.read_bytes():
            continue
        target.parent.mkdir(parents=True, exist_ok=True)
        # A fresh time, so that a file put back after an interrupted run is built again.
        shutil.copyfile(source, target)
        shutil.copymode(source, target)


def locate(text: str, mutation: Mutation):
    """The index of the line to mutate, or an explanation why there is none."""
    lines = text.split("\n")
    piece = mutation.find.rstrip("\n")
    hits = [i for i, line in enumerate(lines) if piece in line]
    if not hits:
        return None, "line gone"
    if mutation.occurrence:
        if len(hits) < mutation.occurrence:
            return None, "occurrence gone"
        return hits[mutation.occurrence - 1], ""
    if len(hits) > 1:
        return None, f"ambiguous ({len(hits)} lines)"
    return hits[0], ""


def build(build_dir: Path, targets, timeout):
    result = run(["cmake", "--build", str(build_dir), "--target", *targets], cwd=ROOT, timeout=timeout)
    return result.returncode == 0, result.stdout or ""


def first_failing(build_dir: Path, tests, timeout, excluded=()):
    """The first test program that fails (or hangs), or None when all pass. excluded: GoogleTest
    patterns of tests left out (a test someone is still writing)."""
    env = dict(os.environ, QT_QPA_PLATFORM="offscreen")
    exclusion = ["--gtest_filter=-" + ":".join(excluded)] if excluded else []
    for test in tests:
        program = build_dir / "tests" / test
        try:
            result = subprocess.run([str(program), "--gtest_fail_fast", "--gtest_brief=1", *exclusion],
                                    cwd=build_dir, timeout=timeout, env=env,
                                    stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True)
        except subprocess.TimeoutExpired:
            return test + " (hung)"
        if result.returncode != 0:
            failed = [line.split("]", 1)[1].strip() for line in result.stdout.splitlines()
                      if line.startswith("[  FAILED  ]") and "," not in line]
            return test + (": " + failed[0] if failed else f" (exit {result.returncode})")
    return None


def main():
    # Stopped from outside, the run still puts the mutated line back (the finally below).
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(143))
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--only", action="append",
                        help="run only mutations whose file or description holds this text (repeatable)")
    parser.add_argument("--list", action="store_true", help="list the mutations and whether their lines are found")
    parser.add_argument("--build", default=str(ROOT / "build-mutate"), help="folder of the copy and its build")
    parser.add_argument("--timeout", type=int, default=900, help="seconds one test program may take")
    parser.add_argument("--exclude", action="append", default=[],
                        help="leave out the tests matching this GoogleTest pattern (repeatable)")
    options = parser.parse_args()

    work = Path(options.build)
    tree = work / "tree"
    build_dir = work / "build"
    tree.mkdir(parents=True, exist_ok=True)
    sync_tree(tree)

    selected = [m for m in MUTATIONS
                if not options.only or any(o in m.file or o in m.what for o in options.only)]
    selected.sort(key=lambda m: not m.first)
    if options.list:
        for number, mutation in enumerate(selected, 1):
            source = (tree / "src" / mutation.file).read_text()
            index, why = locate(source, mutation)
            where = f"{mutation.file}:{index + 1}" if index is not None else f"{mutation.file} ({why})"
            print(f"{number:3} {where:42} {mutation.what}")
        return 0

    if not (build_dir / "build.ninja").exists():
        # With ccache the file put back after each mutation is taken from the cache, not compiled.
        launcher = ["-DCMAKE_CXX_COMPILER_LAUNCHER=ccache"] if shutil.which("ccache") else []
        configured = run(["cmake", "-S", str(tree), "-B", str(build_dir), "-G", "Ninja",
                          "-DCMAKE_BUILD_TYPE=Release", "-DCMAKE_CXX_FLAGS_RELEASE=-O1 -DNDEBUG", *launcher],
                         cwd=ROOT)
        if configured.returncode != 0:
            print(configured.stdout)
            return 2
    # Only the test programs the chosen mutations need are built and run unmutated.
    needed = [t for t in ALL_TESTS if any(t in tests_of(m) for m in selected)]
    targets = needed + ["quantem-fit"]
    print("building the unmutated copy ...", flush=True)
    built, log = build(build_dir, targets, None)
    if not built:
        print(log[-4000:])
        return 2
    failing = first_failing(build_dir, needed, options.timeout, options.exclude)
    if failing:
        print(f"the tests fail without any mutation: {failing}")
        return 2

    rows = []
    started = time.time()
    for number, mutation in enumerate(selected, 1):
        path = tree / "src" / mutation.file
        original = path.read_text()
        index, why = locate(original, mutation)
        if index is None:
            rows.append((number, mutation, None, "SKIPPED", why))
            print(f"{number:3} SKIPPED   {mutation.file}: {why}", flush=True)
            continue
        lines = original.split("\n")
        lines[index] = lines[index].replace(mutation.find.rstrip("\n"), mutation.replace.rstrip("\n"), 1)
        tests = tests_of(mutation)
        try:
            path.write_text("\n".join(lines))
            built, _ = build(build_dir, tests + (["quantem-fit"] if "test_cli" in tests else []), None)
            if not built:
                verdict, detail = "NOT BUILT", ""
            else:
                failing = first_failing(build_dir, tests, options.timeout, options.exclude)
                verdict, detail = ("caught", failing) if failing else ("SURVIVED", "")
        finally:
            path.write_text(original)
            # The restored file must not look older than its object file.
            os.utime(path)
        rows.append((number, mutation, index + 1, verdict, detail))
        print(f"{number:3} {verdict:9} {mutation.file}:{index + 1}  {mutation.what}  {detail}", flush=True)
    # Leave the copy's build matching its sources.
    build(build_dir, targets, None)

    print()
    print(f"{'#':>3}  {'result':9}  {'where':40}  mutation")
    for number, mutation, line, verdict, detail in rows:
        where = f"{mutation.file}:{line}" if line else mutation.file
        flag = " (equivalent)" if mutation.equivalent else ""
        print(f"{number:>3}  {verdict:9}  {where:40}  {mutation.what}{flag}")
    counted = [r for r in rows if r[3] in ("caught", "SURVIVED") and not r[1].equivalent]
    caught = [r for r in counted if r[3] == "caught"]
    equivalent = [r for r in rows if r[3] in ("caught", "SURVIVED") and r[1].equivalent]
    skipped = [r for r in rows if r[3] in ("SKIPPED", "NOT BUILT")]
    share = 100.0 * len(caught) / len(counted) if counted else 0.0
    print()
    print(f"mutations: {len(rows)}; applied and built: {len(counted) + len(equivalent)}; "
          f"skipped or not built: {len(skipped)}; equivalent: {len(equivalent)}")
    print(f"caught: {len(caught)} of {len(counted)} that can change an output ({share:.1f} %)"
          f" in {(time.time() - started) / 60:.0f} min")
    survivors = [r for r in counted if r[3] == "SURVIVED"]
    if survivors:
        print("survivors:")
        for number, mutation, line, _, _ in survivors:
            print(f"  {mutation.file}:{line}  {mutation.what}")
    return 0 if share >= 90.0 else 1


if __name__ == "__main__":
    sys.exit(main())
