#pragma once

#include "data_program/ImportFormat.h"

#include <QString>

#include <optional>
#include <string>

class QWidget;

namespace quantem::data {

enum class UnsavedAnswer
{
    Save,
    Discard,
    Cancel
};

/// Every question and message box of the sample editor, so that tests can answer them.
class Prompts
{
public:
    virtual ~Prompts() = default;
    /// Asks whether unsaved changes are to be saved first.
    virtual UnsavedAnswer askUnsavedChanges(QWidget* parent, const QString& text) = 0;
    /// A Yes/No confirmation; true for Yes.
    virtual bool confirm(QWidget* parent, const QString& title, const QString& text) = 0;
    /// A file to read; empty when cancelled.
    virtual QString openFileName(
        QWidget* parent, const QString& title, const QString& directory, const QString& filter)
        = 0;
    /// A file to write; empty when cancelled.
    virtual QString saveFileName(
        QWidget* parent, const QString& title, const QString& directory, const QString& filter)
        = 0;
    /// A warning the user must acknowledge.
    virtual void warn(QWidget* parent, const QString& title, const QString& text) = 0;
    /// How to read the text of fileName (content) and where its numbers go, proposed shown
    /// first; empty when cancelled.
    virtual std::optional<ImportChoice> chooseImport(QWidget* parent, const QString& fileName,
        const std::string& content, const ImportChoice& proposed)
        = 0;
};

/// The prompts as the desktop's message boxes and file dialogs.
class DialogPrompts : public Prompts
{
public:
    UnsavedAnswer askUnsavedChanges(QWidget* parent, const QString& text) override;
    bool confirm(QWidget* parent, const QString& title, const QString& text) override;
    QString openFileName(QWidget* parent, const QString& title, const QString& directory,
        const QString& filter) override;
    QString saveFileName(QWidget* parent, const QString& title, const QString& directory,
        const QString& filter) override;
    void warn(QWidget* parent, const QString& title, const QString& text) override;
    std::optional<ImportChoice> chooseImport(QWidget* parent, const QString& fileName,
        const std::string& content, const ImportChoice& proposed) override;
};

} // namespace quantem::data
