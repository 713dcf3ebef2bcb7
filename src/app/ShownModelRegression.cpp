#include "app/ShownModelRegression.h"

#include "app/Regression.h"
#include "core/CheckedMath.h"
#include "core/Fault.h"
#include "core/InputReasons.h"

#include <string>
#include <vector>

namespace quantem::app {

namespace {

    std::string modelText(core::ModelId id)
    {
        return id == 0 ? "no model" : "model " + std::to_string(id);
    }

    std::string otherModelStoredReason(core::ModelId shown, core::ModelId stored)
    {
        return "The window shows " + modelText(shown) + " but the scratch file xx.sys names "
            + modelText(stored)
            + ", so the regression would fit another model: choose the model again.";
    }

} // namespace

std::optional<core::ModelId> storedModel(const core::Session& session)
{
    try {
        const std::vector<double> items = session.store.readNumbers(core::ScratchFile::Xx, 4);
        return core::toInteger16(items[3]);
    } catch (const core::Fault&) {
        return std::nullopt;
    }
}

bool regressShownModel(core::Session& session, Route route)
{
    const core::ModelId shown = session.form1.checkedModel;
    const std::optional<core::ModelId> stored = storedModel(session);
    if (stored && *stored != shown) {
        core::refuseInput(session, core::MessageWindowId::Form6, std::nullopt,
            otherModelStoredReason(shown, *stored));
        return false;
    }
    regressionCommand(session, route);
    return true;
}

} // namespace quantem::app
