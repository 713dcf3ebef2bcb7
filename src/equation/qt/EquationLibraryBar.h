#pragma once

#include "equation/EquationEntry.h"

#include <QWidget>

#include <filesystem>
#include <string>
#include <vector>

class QComboBox;
class QPushButton;

namespace quantem::ui {

/// The library row of the equation window: a list of the templates and the saved equations,
/// "Save..." and "Remove". Picking an entry hands it to the window; the file is read again
/// after every change, so two windows never lose each other's entries.
class EquationLibraryBar : public QWidget
{
    Q_OBJECT

public:
    explicit EquationLibraryBar(std::filesystem::path root, QWidget* parent = nullptr);

    /// Reads the library file again and lists it; the current choice stays where it still is.
    void reload();
    /// Why the library file could not be read (it is then listed as empty), or empty.
    const std::string& problem() const noexcept { return m_problem; }
    /// Chooses the entry of that name in the list without handing it over; false when there is
    /// none.
    bool select(const std::string& name);
    const std::filesystem::path& root() const noexcept { return m_root; }

signals:
    void picked(const equation::EquationEntry& entry, bool isTemplate);
    void saveRequested();
    /// A sentence for the window's state line.
    void told(const QString& text);

private:
    void choose(int index);
    void removeChosen();

    std::filesystem::path m_root;
    std::vector<equation::EquationEntry> m_saved;
    std::string m_problem;
    QComboBox* m_list = nullptr;
    QPushButton* m_save = nullptr;
    QPushButton* m_remove = nullptr;
};

} // namespace quantem::ui
