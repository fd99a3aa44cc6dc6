#include "ui/help/AboutBox.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

#include "ui/common/EngineText.h"
#include "ui/common/ProgramIcon.h"
#include "ui/help/HelpMenuTexts.h"

namespace tarnwick::ui {

AboutBox::AboutBox(UpdateCheckRunner runCheck, QWidget* parent) : QDialog(parent), m_runCheck(std::move(runCheck))
{
    setObjectName(QStringLiteral("AboutBox"));
    setWindowTitle(qs(text::help::kAboutTitle));

    auto* picture = new QLabel(this);
    picture->setObjectName(QStringLiteral("aboutPicture"));
    picture->setPixmap(ProgramIcon().pixmap(64, 64));
    picture->setAlignment(Qt::AlignCenter);

    auto* version = new QLabel(qs(text::help::kAboutVersion), this);
    version->setObjectName(QStringLiteral("aboutVersion"));
    QFont bold = version->font();
    bold.setBold(true);
    version->setFont(bold);

    m_check = new QPushButton(qs(text::help::kCheckForUpdate), this);
    m_check->setObjectName(QStringLiteral("aboutCheckForUpdate"));
    m_check->setAutoDefault(false);
    m_ok = new QPushButton(qs(text::help::kOk), this);
    m_ok->setObjectName(QStringLiteral("aboutOk"));
    m_ok->setDefault(true);

    auto* layout = new QGridLayout(this);
    layout->setContentsMargins(16, 16, 16, 12);
    layout->setHorizontalSpacing(20);
    layout->setVerticalSpacing(18);
    layout->addWidget(picture, 0, 0);
    layout->addWidget(version, 0, 1, Qt::AlignVCenter | Qt::AlignLeft);
    layout->setColumnStretch(1, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_check);
    buttons->addStretch();
    buttons->addSpacing(24);
    buttons->addWidget(m_ok);
    layout->addLayout(buttons, 1, 0, 1, 2);

    connect(m_ok, &QPushButton::clicked, this, &AboutBox::accept);
    connect(m_check, &QPushButton::clicked, this, &AboutBox::checkForUpdate);
}

void AboutBox::checkForUpdate()
{
    if (!m_runCheck) return;
    m_choice = m_runCheck(this);
    if (m_choice) accept();
}

}  // namespace tarnwick::ui
