#pragma once

#include "data_program/Prompts.h"

#include <QStringList>

#include <deque>
#include <optional>
#include <vector>

namespace quantem::test {

/// Prompts answered from a script; records what was asked and warned.
class FakePrompts : public data::Prompts
{
public:
    data::UnsavedAnswer askUnsavedChanges(QWidget*, const QString& text) override
    {
        asked.append(QStringLiteral("unsaved|") + text);
        return take(unsavedAnswers, data::UnsavedAnswer::Cancel);
    }
    bool confirm(QWidget*, const QString& title, const QString&) override
    {
        asked.append(QStringLiteral("confirm|") + title);
        return take(confirmations, false);
    }
    QString openFileName(QWidget*, const QString& title, const QString&, const QString&) override
    {
        asked.append(QStringLiteral("open|") + title);
        return take(fileNames, QString());
    }
    QString saveFileName(QWidget*, const QString& title, const QString&, const QString&) override
    {
        asked.append(QStringLiteral("save|") + title);
        return take(fileNames, QString());
    }
    void warn(QWidget*, const QString& title, const QString& text) override
    {
        warnings.append(title + QStringLiteral("|") + text);
    }
    std::optional<data::ImportChoice> chooseImport(
        QWidget*, const QString&, const std::string&, const data::ImportChoice& shown) override
    {
        asked.append(QStringLiteral("import|"));
        proposedImports.push_back(shown);
        return take(importChoices, std::optional<data::ImportChoice>(shown));
    }

    std::deque<data::UnsavedAnswer> unsavedAnswers; // Cancel when the script runs out
    std::deque<bool> confirmations; // No when it runs out
    std::deque<QString> fileNames; // cancelled when it runs out
    std::deque<std::optional<data::ImportChoice>> importChoices; // what was shown when it runs out
    std::vector<data::ImportChoice> proposedImports;
    QStringList asked;
    QStringList warnings;

private:
    template <typename T> static T take(std::deque<T>& script, T fallback)
    {
        if (script.empty())
            return fallback;
        T next = script.front();
        script.pop_front();
        return next;
    }
};

} // namespace quantem::test
