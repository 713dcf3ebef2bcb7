#include "equation/qt/EquationLibraryBar.h"

#include "equation/EquationLibrary.h"
#include "equation/EquationTemplates.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>

namespace quantem::ui {

namespace {

    // Item data of the list: which kind of entry, and its place among its kind.
    constexpr int kKindRole = Qt::UserRole;
    constexpr int kIndexRole = Qt::UserRole + 1;
    enum Kind
    {
        None,
        Template,
        Saved
    };

    QString qt(const std::string& text) { return QString::fromStdString(text); }

} // namespace

EquationLibraryBar::EquationLibraryBar(std::filesystem::path root, QWidget* parent)
    : QWidget(parent)
    , m_root(std::move(root))
{
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* caption = new QLabel(QStringLiteral("&Library:"), this);
    m_list = new QComboBox(this);
    m_list->setObjectName(QStringLiteral("library"));
    m_list->setMinimumContentsLength(28);
    m_list->setToolTip(QStringLiteral("Pick a template or an equation you saved"));
    caption->setBuddy(m_list);
    m_save = new QPushButton(QStringLiteral("&Save..."), this);
    m_save->setObjectName(QStringLiteral("saveEquation"));
    m_save->setToolTip(
        QStringLiteral("Save the equation with its start values, fixed flags and bounds"));
    m_save->setAutoDefault(false);
    m_remove = new QPushButton(QStringLiteral("&Remove"), this);
    m_remove->setObjectName(QStringLiteral("removeEquation"));
    m_remove->setToolTip(QStringLiteral("Remove the chosen saved equation from the library"));
    m_remove->setAutoDefault(false);
    layout->addWidget(caption);
    layout->addWidget(m_list, 1);
    layout->addWidget(m_save);
    layout->addWidget(m_remove);

    connect(m_list, &QComboBox::activated, this, &EquationLibraryBar::choose);
    connect(m_list, &QComboBox::currentIndexChanged, this, [this](int index) {
        m_remove->setEnabled(m_list->itemData(index, kKindRole).toInt() == Saved);
    });
    connect(m_save, &QPushButton::clicked, this, &EquationLibraryBar::saveRequested);
    connect(m_remove, &QPushButton::clicked, this, &EquationLibraryBar::removeChosen);
    reload();
}

void EquationLibraryBar::reload()
{
    const QString current = m_list->currentText();
    const equation::LibraryContents contents = equation::readEquationLibrary(m_root);
    m_saved = contents.entries;
    m_problem = contents.problem;
    m_list->clear();
    m_list->addItem(QStringLiteral("(an equation of your own)"));
    m_list->setItemData(0, None, kKindRole);
    const std::vector<equation::EquationEntry>& templates = equation::equationTemplates();
    for (std::size_t i = 0; i < templates.size(); ++i) {
        m_list->addItem(QStringLiteral("Template: %1").arg(qt(templates[i].name)));
        m_list->setItemData(m_list->count() - 1, Template, kKindRole);
        m_list->setItemData(m_list->count() - 1, static_cast<int>(i), kIndexRole);
        m_list->setItemData(m_list->count() - 1, qt(templates[i].formula), Qt::ToolTipRole);
    }
    if (!m_saved.empty())
        m_list->insertSeparator(m_list->count());
    for (std::size_t i = 0; i < m_saved.size(); ++i) {
        m_list->addItem(qt(m_saved[i].name));
        m_list->setItemData(m_list->count() - 1, Saved, kKindRole);
        m_list->setItemData(m_list->count() - 1, static_cast<int>(i), kIndexRole);
        m_list->setItemData(m_list->count() - 1, qt(m_saved[i].formula), Qt::ToolTipRole);
    }
    const int kept = m_list->findText(current);
    m_list->setCurrentIndex(kept >= 0 ? kept : 0);
    if (!m_problem.empty())
        emit told(qt(m_problem));
}

bool EquationLibraryBar::select(const std::string& name)
{
    for (int i = 0; i < m_list->count(); ++i) {
        const int kind = m_list->itemData(i, kKindRole).toInt();
        const int index = m_list->itemData(i, kIndexRole).toInt();
        if ((kind == Saved && m_saved[static_cast<std::size_t>(index)].name == name)
            || (kind == Template
                && equation::equationTemplates()[static_cast<std::size_t>(index)].name == name)) {
            m_list->setCurrentIndex(i);
            return true;
        }
    }
    return false;
}

void EquationLibraryBar::choose(int index)
{
    const int kind = m_list->itemData(index, kKindRole).toInt();
    const auto place = static_cast<std::size_t>(m_list->itemData(index, kIndexRole).toInt());
    if (kind == Template)
        emit picked(equation::equationTemplates()[place], true);
    else if (kind == Saved && place < m_saved.size())
        emit picked(m_saved[place], false);
}

void EquationLibraryBar::removeChosen()
{
    const int index = m_list->currentIndex();
    if (m_list->itemData(index, kKindRole).toInt() != Saved)
        return;
    const std::string name
        = m_saved[static_cast<std::size_t>(m_list->itemData(index, kIndexRole).toInt())].name;
    if (QMessageBox::question(this, QStringLiteral("Remove equation"),
            QStringLiteral("Remove \"%1\" from the library?").arg(qt(name)))
        != QMessageBox::Yes)
        return;
    const std::string error = equation::removeEquation(m_root, name);
    emit told(error.empty() ? QStringLiteral("\"%1\" was removed from the library").arg(qt(name))
                            : qt(error));
    reload();
}

} // namespace quantem::ui
