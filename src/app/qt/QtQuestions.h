#pragma once

#include "core/Ports.h"

#include <QPointer>
#include <QString>
#include <QWidget>

namespace quantem::ui {

/// A file filter in the program's form, pairs of "description|patterns" joined by "|" with
/// patterns separated by ";" ("Text files (*.TXT)|*.TXT"), in the form of Qt's file dialogs
/// ("Text files (*.TXT)", pairs joined by ";;").
QString qtFileFilter(const std::string& filter);

/// Questions asked with Qt's message box and file dialog, over the given parent window.
class QtQuestions : public core::Questions
{
public:
    explicit QtQuestions(QWidget* parent = nullptr);

    /// The window the questions are centred on.
    void setParentWindow(QWidget* parent) { m_parent = parent; }

    core::Answer askYesNoCancel(const std::string& text, const std::string& title) override;
    std::filesystem::path saveFileName(
        const std::string& filter, const std::string& defaultExtension) override;

private:
    QPointer<QWidget> m_parent;
};

} // namespace quantem::ui
