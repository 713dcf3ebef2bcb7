#include "app/RegressionReasons.h"

#include "core/Fault.h"
#include "core/InputReasons.h"
#include "core/Notices.h"
#include "core/NumberText.h"

#include <cmath>

namespace quantem::app {

namespace {

    // A count as the fit read it; a count the fit could not read gives no reason here.
    std::optional<double> countOf(const std::string& text)
    {
        try {
            return core::val(text);
        } catch (const core::Fault&) {
            return std::nullopt;
        }
    }

} // namespace

RegressionMark markRegression(const core::Session& session)
{
    return { session.messages.log().size(), session.form1.publishedFits };
}

std::optional<std::string> silentEndReason(
    const core::Session& session, core::ModelId model, const RegressionMark& mark)
{
    if (!core::usesLinearEngine(model) || session.messages.log().size() != mark.showings
        || session.form1.publishedFits != mark.publishedFits)
        return std::nullopt;
    if (std::optional<std::string> problem = core::sampleFileProblem(session.store))
        return problem;
    const std::optional<double> groups = countOf(session.form1.Text2);
    const std::optional<double> elements = countOf(session.form1.Text4);
    if (!groups || !elements || !(*elements >= 1.0 && *elements <= 50.0))
        return std::nullopt;
    // The layout of the linear family: x1..xm then y for model 51, x then y for model 52.
    const int groupSize = model == core::kMultipleLinearModel ? static_cast<int>(*elements) + 1 : 2;
    try {
        const core::SampleData samples
            = core::SampleData::load(session.store, core::SampleData::itemsFor(*groups, groupSize));
        return core::sampleReadingReason(session.store, samples, *groups, groupSize);
    } catch (const core::Fault&) {
        return std::nullopt; // the file went away meanwhile: nothing more to say
    }
}

std::optional<std::string> modelChoiceReason(
    const core::Session& session, core::ModelId model, const RegressionMark& mark)
{
    const core::ModelDescriptor* descriptor = core::findModel(model);
    if (descriptor == nullptr || descriptor->exponents == 0)
        return std::nullopt;
    const std::vector<core::Showing>& log = session.messages.log();
    bool unexplained = false;
    for (std::size_t i = mark.showings; i < log.size(); ++i)
        unexplained = unexplained
            || (log[i].window == core::MessageWindowId::Form6 && log[i].reason.empty());
    // The search starts from the value in single precision: 1E-50 starts it from 0 as well.
    const std::optional<double> start = countOf(session.form1.Text4);
    if (!unexplained || !start || !(std::fabs(*start) < 1.0) || static_cast<float>(*start) != 0.0f)
        return std::nullopt;
    return core::reasons::zeroStartValue(model, session.form1.Text4);
}

void explainRegression(core::Session& session, core::ModelId model, const RegressionMark& mark)
{
    std::optional<std::string> reason = silentEndReason(session, model, mark);
    if (!reason)
        reason = modelChoiceReason(session, model, mark);
    if (reason)
        core::postNotice(session.form1, core::NoticeKind::Reason, *reason);
}

} // namespace quantem::app
