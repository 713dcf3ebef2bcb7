#pragma once

#include "FakePrompts.h"
#include "data_program/GroupTableModel.h"
#include "data_program/SampleEditorWindow.h"
#include "support/TempRoot.h"

#include <QApplication>
#include <QLabel>

#include <memory>
#include <string>

namespace quantem::test {

// An editor window on a fresh root holding data.qtm with the given text.
struct EditorFixture
{
    explicit EditorFixture(const std::string& samples)
    {
        root.writeSamples(samples);
        window
            = std::make_unique<data::SampleEditorWindow>(core::ScratchStore(root.path()), prompts);
        window->show();
        QApplication::processEvents();
    }

    // Types a text into a cell through the model, as the cell editor does.
    bool type(int row, int column, const QString& text)
    {
        data::GroupTableModel* model = window->model();
        const bool taken = model->setData(model->index(row, column), text);
        QApplication::processEvents();
        return taken;
    }

    QString shown(int row, int column) const
    {
        data::GroupTableModel* model = window->model();
        return model->data(model->index(row, column)).toString();
    }

    QString groupCount() const
    {
        return window->findChild<QLabel*>(QStringLiteral("groupCount"))->text();
    }

    test::TempRoot root;
    FakePrompts prompts;
    std::unique_ptr<data::SampleEditorWindow> window;
};

} // namespace quantem::test
