#include "engine_linear/LinearFamilyFit.h"

#include "core/CheckedMath.h"
#include "core/Fault.h"
#include "core/InputReasons.h"
#include "core/NumberText.h"
#include "core/Record.h"
#include "engine_linear/FitStatistics.h"
#include "engine_linear/NormalSystem.h"
#include "engine_linear/ReportLines.h"

#include <algorithm>
#include <cmath>
#include <new>
#include <string>
#include <vector>

namespace quantem::linear {

using core::FaultCode;
using core::MessageWindowId;
using core::ModelId;
using core::ScratchFile;

namespace {

    constexpr int kPanelCoefficients = 7; // Label2..Label8 show a0..a6

    bool isLinearFamily(ModelId model)
    {
        return model == core::kMultipleLinearModel || model == core::kPolynomialModel;
    }

    // The faults after which a run shows the error dialog; every other fault ends it silently.
    bool showsErrorDialog(FaultCode code)
    {
        switch (code) {
        case FaultCode::Overflow:
        case FaultCode::OutOfMemory:
        case FaultCode::SubscriptOutOfRange:
        case FaultCode::DivisionByZero:
        case FaultCode::InputPastEndOfFile:
            return true;
        default:
            return false;
        }
    }

    void showInputError(core::Session& session) { session.messages.show(MessageWindowId::Form5); }

    // The input error with its standing text, and why.
    void refuseInput(core::Session& session, const std::string& reason)
    {
        core::refuseInput(session, MessageWindowId::Form5, std::nullopt, reason);
    }

    // A sample file that ends early is told with the groups it holds; other faults by name.
    std::string faultReason(core::Session& session, ModelId model, const core::Fault& fault)
    {
        if (fault.code() == FaultCode::InputPastEndOfFile) {
            const int regressors = static_cast<int>(core::val(session.form1.Text4));
            const int groupSize = model == core::kMultipleLinearModel ? regressors + 1 : 2;
            const double groups = core::val(session.form1.Text2);
            if (const auto samples = core::SampleData::loadIfPresent(
                    session.store, core::SampleData::itemsFor(groups, groupSize))) {
                if (auto reason
                    = core::sampleReadingReason(session.store, *samples, groups, groupSize))
                    return *reason;
            }
        }
        return core::faultDescription(fault.code());
    }

    bool isWholeCount(double value) { return value >= 1.0 && std::trunc(value) == value; }

    // Reads one group in the model's layout and forms its regressors u1..un; returns y.
    // Model 52 reads x then y and only then raises x to the powers 1..n, each power computed
    // anew rather than as a running product.
    double readGroup(core::RecordReader& in, ModelId model, std::vector<double>& regressors)
    {
        if (model == core::kMultipleLinearModel) {
            for (double& x : regressors)
                x = in.readNumber();
            return in.readNumber();
        }
        const double x = in.readNumber();
        const double y = in.readNumber();
        for (std::size_t k = 0; k < regressors.size(); ++k)
            regressors[k] = core::power(x, static_cast<double>(k + 1));
        return y;
    }

    // a0 + a1·u1 + … + an·un, terms added from a0 upward.
    double fittedValue(
        const std::vector<double>& coefficients, const std::vector<double>& regressors)
    {
        double value = coefficients[0];
        for (std::size_t k = 1; k < coefficients.size(); ++k)
            value = core::add(value, core::multiply(coefficients[k], regressors[k - 1]));
        return value;
    }

    std::string buildReport(
        ModelId model, const core::Form1& form, const std::vector<std::string>& coefficientLines)
    {
        const bool polynomial = model == core::kPolynomialModel;
        std::vector<std::string> lines;
        if (polynomial) {
            lines.push_back("What you did is twain Dimension non-linearity " + form.Text4
                + " item formula " + "Regressing, the regressing data's Sample Quantity is "
                + form.Text2 + "  groups.");
            lines.push_back("The corresponding data of the model you chosen is: "
                            "The first Dimension data is X, the second Dimension is objective "
                            "function Y. ");
        } else {
            lines.push_back("What you did is " + form.Text4 + " Element Linearity "
                + "Regressing, the regressing data's Sample Quantity is " + form.Text2
                + " groups.");
            lines.push_back("The corresponding data of the model you chosen is: "
                            "The first Dimension of every group of numbers is X1,the second one "
                            "is X2,the last one is Y.");
        }
        lines.push_back("");
        lines.push_back("Regress model");
        lines.push_back("=============");
        lines.push_back(std::string(core::modelOf(model).formulaText));
        lines.push_back("");
        lines.push_back("The coefficient of every Element ");
        lines.push_back(
            polynomial ? "================================" : "================================ ");
        lines.insert(lines.end(), coefficientLines.begin(), coefficientLines.end());
        lines.push_back("");
        lines.push_back("Test parameter of regress ");
        lines.push_back("========================= ");
        appendTestParameterLines(lines, form);
        return joinReportLines(lines);
    }

    /// The data pass: the first `groups` groups of the samples into the normal equations. A
    /// fault comes as reading group by group would raise it: an overflow in the groups before
    /// the first item that cannot be read comes first, then that item's fault.
    void accumulate(const core::SampleStorage& items, ModelId model, double groups, int regressors,
        NormalSystem& system)
    {
        const std::size_t size
            = model == core::kMultipleLinearModel ? static_cast<std::size_t>(regressors) + 1 : 2;
        const std::size_t readable = items.firstFault() / size;
        const std::size_t count
            = static_cast<double>(readable) < groups ? readable : static_cast<std::size_t>(groups);
        if (model == core::kMultipleLinearModel) {
            // A sample group already has the layout of the system's groups: x1..xn, y.
            system.addGroups(items.values(), count);
        } else {
            const auto m = static_cast<std::size_t>(regressors) + 1;
            std::vector<double> rows(count * m);
            for (std::size_t g = 0; g < count; ++g) {
                const double x = items.values()[2 * g];
                double* row = rows.data() + g * m;
                // Each power computed anew, not as a running product.
                for (std::size_t k = 0; k + 1 < m; ++k)
                    row[k] = core::power(x, static_cast<double>(k + 1));
                row[m - 1] = items.values()[2 * g + 1];
            }
            system.addGroups(rows, count);
        }
        system.checkSums();
        if (static_cast<double>(count) < groups)
            throw core::Fault(items.faultOf(std::min(items.firstFault(), items.itemCount())));
    }

    // The fit from the data pass to the report; every fault goes to the caller's handler.
    void fitAndReport(core::Session& session, ModelId model, double groups, int regressors)
    {
        core::Form1& form = session.form1;
        const int size = model == core::kMultipleLinearModel ? regressors + 1 : 2;
        // Only the groups the run uses are read from the file.
        const core::SampleData samples
            = core::SampleData::load(session.store, core::SampleData::itemsFor(groups, size));

        NormalSystem system;
        system.begin(regressors);
        accumulate(samples.storage(), model, groups, regressors, system);

        toggleRunIndicator(form);
        if (session.progress != nullptr)
            session.progress->progress(form);

        const CentredSums sums = system.centredSums();
        const std::vector<double> coefficients = system.solve();

        std::vector<core::Record> hgbLines;
        std::vector<std::string> coefficientLines;
        for (std::size_t k = 0; k < coefficients.size(); ++k) {
            hgbLines.push_back(core::Record { coefficients[k] });
            coefficientLines.push_back(
                "a(" + std::to_string(k) + ")=" + core::doubleText(coefficients[k]));
        }
        session.store.writeRecords(ScratchFile::Hgb, hgbLines);

        const RegressionTest test
            = computeRegressionTest(sums, coefficients, kLinearPerfectFitTolerance, true);

        for (int i = 0; i < kPanelCoefficients; ++i) {
            const auto k = static_cast<std::size_t>(i);
            form.label(2 + i) = k < coefficients.size() ? core::doubleText(coefficients[k]) : "";
        }
        form.Label17 = core::doubleText(test.r);
        form.Label18 = core::doubleText(test.f);
        form.Label19 = core::doubleText(test.s);
        ++form.publishedFits;

        session.store.writeRecord(
            ScratchFile::Xs, core::Record { static_cast<double>(model), test.r, test.f, test.s });

        residualPass(session, model, regressors, &samples);

        form.Text5 = buildReport(model, form, coefficientLines);
    }

} // namespace

void toggleRunIndicator(core::Form1& form)
{
    form.Timer1Interval = 10;
    // The sweep through RGB(i, 100, 255), i = 0..50, is too quick to see; only its end colour
    // stays.
    form.Picture2 = form.Picture2 == kIndicatorOlive ? kIndicatorBlue : kIndicatorOlive;
}

void residualPass(
    core::Session& session, ModelId model, int regressors, const core::SampleData* samples)
{
    core::Form1& form = session.form1;
    // The coefficients as written, not as held in memory: read faults belong to the run.
    const std::vector<double> coefficients
        = session.store.readNumbers(ScratchFile::Hgb, static_cast<std::size_t>(regressors) + 1);
    const double groups = core::val(form.Text2);

    double sumAbs = 0.0;
    double sumRel = 0.0;
    double biggest = 0.0;
    try {
        if (samples == nullptr) {
            session.messages.show(MessageWindowId::Form5, std::string(core::kNoDataText));
        } else {
            std::vector<double> row(static_cast<std::size_t>(regressors));
            core::RecordReader in = samples->reader();
            for (double g = 0.0; g < groups; g += 1.0) {
                const double y = readGroup(in, model, row);
                const double fitted = fittedValue(coefficients, row);
                const double e = core::subtract(y, fitted);
                sumAbs = core::add(sumAbs, std::fabs(e));
                // Relative to the fitted value: a fitted value of exactly 0 ends the pass.
                sumRel = core::add(sumRel, std::fabs(core::divide(e, fitted)));
                if (std::fabs(e) > biggest)
                    biggest = std::fabs(e);
            }
        }
        const float meanError = core::toSingle(core::divide(sumAbs, groups));
        const double meanRelative = core::divide(sumRel, groups);
        form.Label20 = core::doubleText(biggest);
        form.Label21 = core::singleText(meanError);
        form.Label22 = core::doubleText(meanRelative);
    } catch (const core::Fault&) {
        // The pass ends quietly; the three labels keep the text they had before the run.
    } catch (const std::bad_alloc&) {
        if (session.handsUpOutOfMemory)
            throw;
    }
}

void runLinearFamilyFit(core::Session& session, ModelId model)
{
    if (!isLinearFamily(model))
        return;
    try {
        const double groups = core::val(session.form1.Text2);
        const double regressors = core::val(session.form1.Text4);
        const core::Form1& form = session.form1;
        if (regressors > kMaxRegressors) {
            refuseInput(session, core::reasons::linearElementCount(model, form.Text4));
            return;
        }
        // Counts that are not whole numbers of at least 1 are refused before the sample file is
        // opened, so they can never leave a partial result.
        if (!isWholeCount(groups) || !isWholeCount(regressors)) {
            refuseInput(session,
                isWholeCount(groups) ? core::reasons::linearElementCount(model, form.Text4)
                                     : core::reasons::linearSampleCount(form.Text2));
            return;
        }
        // N groups fit n + 1 coefficients only while N - (n + 1), the degrees of freedom of F
        // and S, stays above 0.
        if (groups <= regressors + 1.0) {
            refuseInput(session, core::reasons::noDegreeOfFreedom(regressors + 1.0));
            return;
        }
        fitAndReport(session, model, groups, static_cast<int>(regressors));
    } catch (const core::Fault& fault) {
        if (showsErrorDialog(fault.code()))
            refuseInput(session, faultReason(session, model, fault));
    } catch (const std::bad_alloc&) {
        if (session.handsUpOutOfMemory)
            throw;
        showInputError(session);
    } catch (const std::exception&) {
        // An internal fault of the runtime is reported like the arithmetic faults.
        showInputError(session);
    }
}

} // namespace quantem::linear
