#pragma once

#include "data_program/ImportFormat.h"

#include <QDialog>

#include <string>

class QComboBox;
class QLabel;
class QPushButton;
class QRadioButton;

namespace quantem::data {

/// The import dialog: the separator and decimal mark of a text file, and whether its numbers go
/// after the table's last number or in its place. It shows the file's first lines and what the
/// choice reads from the file, and takes no choice that cannot read it.
class ImportDialog : public QDialog
{
    Q_OBJECT

public:
    ImportDialog(const QString& fileName, std::string content, const ImportChoice& proposed,
        QWidget* parent = nullptr);

    ImportChoice choice() const;

private:
    QWidget* makeFormatBox();
    QWidget* makePlacementBox();
    QWidget* makePreview(const QString& fileName);
    void showWhatItReads();

    std::string m_content;
    QComboBox* m_separator = nullptr;
    QComboBox* m_decimalMark = nullptr;
    QRadioButton* m_append = nullptr;
    QRadioButton* m_replace = nullptr;
    QLabel* m_reads = nullptr;
    QPushButton* m_ok = nullptr;
};

} // namespace quantem::data
