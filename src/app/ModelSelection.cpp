#include "app/ModelSelection.h"

#include "app/Commands.h"
#include "core/CheckedMath.h"
#include "core/NumberText.h"

#include <string>

namespace quantem::app {

using core::ModelDescriptor;
using core::Record;
using core::ScratchFile;
using core::Session;

namespace {

    void showInputRow(core::Form1& form, bool visible)
    {
        form.Text1Visible = visible;
        form.Text3Visible = visible;
        form.Label1Visible = visible;
        form.Label24Visible = visible;
    }

    void selectCatalogueModel(Session& session, const ModelDescriptor& model)
    {
        core::Form1& form = session.form1;
        form.Text4 = model.exponents == 0 ? "" : "1";
        form.Label9 = "InputPowerInitialValue:";
        showInputRow(form, true);
        // Models 2, 3 and 4 have always left qs.sys as it was.
        if (model.id != 2 && model.id != 3 && model.id != 4)
            session.store.writeRecord(ScratchFile::Qs, Record { 1.0 });
        session.store.writeRecord(ScratchFile::Mb, Record { 0.0 });
        loadPicture(session, std::string(model.pictureFile));
        form.Text1 = std::to_string(model.variables);
        const double variables = core::toInteger16(core::val(form.Text1));
        form.Text3 = std::to_string(model.elements);
        session.store.writeRecord(ScratchFile::Xx,
            Record { variables, static_cast<double>(model.elements),
                static_cast<double>(model.exponents), static_cast<double>(model.id) });
    }

    void selectLinearFamilyModel(Session& session, const ModelDescriptor& model)
    {
        core::Form1& form = session.form1;
        clearResults(session, Route::Menu);
        form.Text4.clear();
        form.Label9 = model.id == core::kMultipleLinearModel ? "       Input Element(n):"
                                                             : "        Input item(n):";
        showInputRow(form, false);
        session.store.writeRecord(ScratchFile::Qs, Record { 1.0 });
        session.store.writeRecord(ScratchFile::Mb, Record { 0.0 });
        loadPicture(session, std::string(model.pictureFile));
        form.Text3 = "0";
        // The element count stays empty until the regression command fills it in from Text4.
        session.store.writeRecord(ScratchFile::Xx,
            Record { 0.0, core::EmptyItem {}, 0.0, static_cast<double>(model.id) });
    }

} // namespace

void selectModel(Session& session, core::ModelId id)
{
    const ModelDescriptor& model = core::modelOf(id);
    session.form1.checkedModel = id;
    if (core::usesLinearEngine(id))
        selectLinearFamilyModel(session, model);
    else
        selectCatalogueModel(session, model);
}

} // namespace quantem::app
