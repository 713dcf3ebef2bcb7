#pragma once

#include "data_program/Prompts.h"

#include <QStringList>

#include <deque>

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

    std::deque<data::UnsavedAnswer> unsavedAnswers; // Cancel when the script runs out
    std::deque<bool> confirmations; // No when it runs out
    std::deque<QString> fileNames; // cancelled when it runs out
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
