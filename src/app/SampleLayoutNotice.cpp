#include "app/SampleLayoutNotice.h"

#include "core/Fault.h"
#include "core/ModelCatalogue.h"
#include "core/Notices.h"
#include "core/NumberText.h"
#include "core/SampleData.h"
#include "core/SampleLayout.h"

namespace quantem::app {

namespace {

    /// Numbers per group of the shown model: its catalogue size, the elements and y for model
    /// 51, x and y for model 52; 0 when it cannot be told.
    int shownGroupSize(const core::Session& session)
    {
        const core::ModelId model = session.form1.checkedModel;
        if (model == core::kMultipleLinearModel) {
            const double elements = core::val(session.form1.Text4);
            return elements >= 1 && elements <= 50 && elements == static_cast<int>(elements)
                ? static_cast<int>(elements) + 1
                : 0;
        }
        if (core::usesLinearEngine(model))
            return 2;
        return core::groupSize(model);
    }

} // namespace

std::optional<std::string> sampleLayoutNotice(const core::Session& session)
{
    int size = 0;
    double groups = 0.0;
    try {
        size = shownGroupSize(session);
        groups = core::val(session.form1.Text2);
    } catch (const core::Fault&) {
        return std::nullopt; // a count beyond the range: the fit refuses it and says why
    }
    if (size == 0 || !(groups >= 1))
        return std::nullopt;
    const std::unique_ptr<core::ByteSource> source = session.store.open(core::ScratchFile::Data);
    if (!source)
        return std::nullopt;
    core::LineLayout layout;
    try {
        layout = core::readLineLayout(*source, core::SampleData::itemsFor(groups, size));
    } catch (const core::Fault&) {
        return std::nullopt; // the fit meets the read failure itself and says so
    }
    const auto perLine = static_cast<int>(layout.itemsPerLine);
    if (layout.lines < 2 || perLine == 0 || perLine == size)
        return std::nullopt;
    const std::string model = "model " + std::to_string(session.form1.checkedModel);
    return "Every line of data.qtm holds " + std::to_string(perLine) + " numbers, but " + model
        + " reads groups of " + std::to_string(size)
        + ", so its groups run across the lines and pair numbers that do not belong together. "
          "If the file is meant for another model, choose that one.";
}

std::optional<std::string> noteSampleLayout(core::Session& session)
{
    std::optional<std::string> notice = sampleLayoutNotice(session);
    if (notice)
        core::postNotice(session.form1, core::NoticeKind::Reason, *notice);
    return notice;
}

} // namespace quantem::app
