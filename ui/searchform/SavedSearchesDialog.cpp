#include "ui/searchform/SavedSearchesDialog.h"

#include <QHBoxLayout>
#include <QInputDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

#include "ui/searchform/SearchFormController.h"
#include "ui/searchform/SearchFormDialogs.h"
#include "ui/searchform/SearchFormTexts.h"

namespace tarnwick::ui {

SavedSearchesDialog::SavedSearchesDialog(SearchFormController& controller, const CodePage& codePage, QWidget* parent)
    : QDialog(parent), m_controller(controller), m_codePage(codePage)
{
    setObjectName(QStringLiteral("savedSearchesDialog"));
    setWindowTitle(QString::fromUtf8(formtext::kSavedSearchesTitle));
    m_list = new QListWidget;
    m_list->setObjectName(QStringLiteral("savedSearchList"));
    m_load = new QPushButton(QString::fromUtf8(formtext::kLoadSaved));
    m_rename = new QPushButton(QString::fromUtf8(formtext::kRenameSaved));
    m_delete = new QPushButton(QString::fromUtf8(formtext::kDeleteSaved));
    auto* close = new QPushButton(QString::fromUtf8(formtext::kClose));
    m_load->setDefault(true);

    auto* buttons = new QVBoxLayout;
    for (QPushButton* button : {m_load, m_rename, m_delete}) buttons->addWidget(button);
    buttons->addStretch(1);
    buttons->addWidget(close);
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(m_list, 1);
    layout->addLayout(buttons);

    m_askName = [this](const QString& currentName) {
        return QInputDialog::getText(this, windowTitle(), QString::fromUtf8(formtext::kRenameSavedLabel), QLineEdit::Normal,
                                     currentName);
    };
    connect(m_list, &QListWidget::currentRowChanged, this, [this] { updateButtons(); });
    connect(m_list, &QListWidget::itemDoubleClicked, m_load, &QPushButton::click);
    connect(m_load, &QPushButton::clicked, this, [this] {
        if (current() < 0) return;
        m_controller.loadSavedSearch(static_cast<std::size_t>(current()));
        accept();
    });
    connect(m_rename, &QPushButton::clicked, this, [this] {
        const int row = current();
        if (row < 0) return;
        const QString name = m_askName(m_list->item(row)->text());
        if (name.isEmpty() || !m_controller.renameSavedSearch(static_cast<std::size_t>(row), QtToFormText(name, m_codePage)))
            return;
        fill();
        m_list->setCurrentRow(row);
    });
    connect(m_delete, &QPushButton::clicked, this, [this] {
        const int row = current();
        if (row < 0) return;
        m_controller.deleteSavedSearch(static_cast<std::size_t>(row));
        fill();
        m_list->setCurrentRow(std::min(row, m_list->count() - 1));
    });
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    fill();
    m_list->setCurrentRow(m_list->count() > 0 ? 0 : -1);
    updateButtons();
}

void SavedSearchesDialog::fill()
{
    m_list->clear();
    for (const settings::SavedSearch& search : m_controller.savedSearches())
        m_list->addItem(FormTextToQt(search.name, m_codePage));
    updateButtons();
}

void SavedSearchesDialog::updateButtons()
{
    const bool chosen = current() >= 0;
    for (QPushButton* button : {m_load, m_rename, m_delete}) button->setEnabled(chosen);
}

int SavedSearchesDialog::current() const { return m_list->currentRow(); }

}  // namespace tarnwick::ui
