#include "ui/searchform/RenameDialog.h"

#include <QDialogButtonBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "ui/searchform/SearchFormPrompts.h"
#include "ui/searchform/SearchFormTexts.h"

namespace tarnwick::ui {

RenameDialog::RenameDialog(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("renameDialog"));
    setWindowTitle(QString::fromUtf8(formtext::kRenameTitle));

    auto* group = new QGroupBox(QString::fromUtf8(formtext::kRenameGroup), this);
    m_all = new QRadioButton(QString::fromUtf8(formtext::kRenameAll), group);
    m_all->setObjectName(QStringLiteral("renameAll"));
    m_onlyUpper = new QRadioButton(QString::fromUtf8(formtext::kRenameOnlyUpper), group);
    m_onlyUpper->setObjectName(QStringLiteral("renameOnlyUpper"));
    m_all->setChecked(true);
    auto* groupLayout = new QVBoxLayout(group);
    groupLayout->addWidget(m_all);
    groupLayout->addWidget(m_onlyUpper);

    auto* note = new QLabel(QString::fromUtf8(formtext::kRenameNote), this);

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* rename = buttons->addButton(QString::fromUtf8(formtext::kRenameButton), QDialogButtonBox::AcceptRole);
    rename->setObjectName(QStringLiteral("renameButton"));
    rename->setDefault(true);
    buttons->addButton(QString::fromUtf8(formtext::kCancel), QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(group);
    layout->addWidget(note);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

RenameChoice RenameDialog::choice() const
{
    return m_onlyUpper->isChecked() ? RenameChoice::OnlyUpperCase : RenameChoice::AllNames;
}

}  // namespace tarnwick::ui
