#include "app/WindowTitle.h"

#include "core/ModelCatalogue.h"

namespace quantem::app {

namespace {

    constexpr std::string_view kSeparator = " \xE2\x80\x94 "; // an em dash between blanks

    std::string trimmed(std::string_view text)
    {
        const auto first = text.find_first_not_of(' ');
        if (first == std::string_view::npos)
            return {};
        const auto last = text.find_last_not_of(' ');
        return std::string(text.substr(first, last - first + 1));
    }

} // namespace

std::string mainWindowTitle(const core::Session& session)
{
    std::string title;
    if (const core::ModelDescriptor* model = core::findModel(session.form1.checkedModel)) {
        title = "Model " + std::to_string(model->id) + ": " + trimmed(model->formulaText);
        title += kSeparator;
    }
    title += session.store.root().string();
    title += kSeparator;
    title += kProgramTitle;
    return title;
}

} // namespace quantem::app
