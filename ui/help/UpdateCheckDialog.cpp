#include "ui/help/UpdateCheckDialog.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/common/EngineText.h"
#include "ui/help/HelpMenuTexts.h"

namespace tarnwick::ui {

UpdateCheckDialog::UpdateCheckDialog(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("UpdateCheckDialog"));
    setWindowTitle(qs(text::help::kCheckForUpdate));

    m_message = new QPlainTextEdit(this);
    m_message->setObjectName(QStringLiteral("updateMessage"));
    m_message->setReadOnly(true);
    m_message->setMinimumSize(380, 110);

    m_backup = new QCheckBox(qs(text::help::kUpdateBackup), this);
    m_backup->setObjectName(QStringLiteral("updateBackup"));
    m_backup->setChecked(true);

    m_update = new QPushButton(qs(text::help::kUpdateNow), this);
    m_update->setObjectName(QStringLiteral("updateNow"));
    m_cancel = new QPushButton(qs(text::help::kCancel), this);
    m_cancel->setObjectName(QStringLiteral("updateCancel"));
    m_cancel->setDefault(true);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_update);
    buttons->addWidget(m_cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_message);
    layout->addWidget(m_backup);
    layout->addLayout(buttons);

    connect(&m_check, &UpdateCheck::finished, this, &UpdateCheckDialog::refresh);
    connect(m_update, &QPushButton::clicked, this, &UpdateCheckDialog::updateNow);
    connect(m_cancel, &QPushButton::clicked, this, &UpdateCheckDialog::reject);
    refresh();
}

UpdateChoice UpdateCheckDialog::choice() const { return {m_check.location(), m_backup->isChecked()}; }

void UpdateCheckDialog::reject()
{
    m_check.close();
    QDialog::reject();
}

void UpdateCheckDialog::refresh()
{
    m_message->setPlainText(m_check.message());
    const bool offered = m_check.updateAvailable();
    m_update->setEnabled(offered);
    m_backup->setEnabled(offered);
    if (offered) m_update->setDefault(true);
}

void UpdateCheckDialog::updateNow()
{
    m_check.close();
    if (m_check.updateAvailable())
        accept();
    else
        QDialog::reject();
}

std::optional<UpdateChoice> RunUpdateCheck(QWidget* parent, const std::string& server)
{
    UpdateCheckDialog dialog(parent);
    dialog.start(QString::fromStdString(UpdateRequestUrl(server)));
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return dialog.choice();
}

}  // namespace tarnwick::ui
