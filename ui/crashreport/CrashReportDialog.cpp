#include "ui/crashreport/CrashReportDialog.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/common/EngineText.h"
#include "ui/common/ProgramIcon.h"
#include "ui/crashreport/CrashReportTexts.h"

namespace tarnwick::ui {
namespace {

namespace texts = text::crashreport;

QWidget* HeaderBand(QWidget* parent)
{
    auto* band = new QWidget(parent);
    band->setObjectName(QStringLiteral("headerBand"));
    band->setAutoFillBackground(true);
    QPalette white = band->palette();
    white.setColor(QPalette::Window, Qt::white);
    white.setColor(QPalette::WindowText, Qt::black);
    band->setPalette(white);
    auto* layout = new QHBoxLayout(band);
    layout->setContentsMargins(12, 12, 12, 12);
    layout->setSpacing(12);
    auto* icon = new QLabel(band);
    icon->setPixmap(ProgramIcon().pixmap(32, 32));
    icon->setAlignment(Qt::AlignTop);
    layout->addWidget(icon);
    auto* message = new QLabel(qs(texts::kMessage), band);
    message->setObjectName(QStringLiteral("crashMessage"));
    message->setWordWrap(true);
    layout->addWidget(message, 1);
    return band;
}

}  // namespace

CrashReportDialog::CrashReportDialog(CrashReportController& controller, QWidget* parent)
    : QDialog(parent), m_controller(controller)
{
    setWindowTitle(controller.report().programBaseName);
    setWindowIcon(ProgramIcon());
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->setSpacing(0);
    outer->addWidget(HeaderBand(this));

    auto* body = new QVBoxLayout;
    body->setContentsMargins(12, 12, 12, 12);
    auto* emailLabel = new QLabel(qs(texts::kEmailLabel), this);
    m_email = new QLineEdit(this);
    m_email->setObjectName(QStringLiteral("email"));
    emailLabel->setBuddy(m_email);
    body->addWidget(emailLabel);
    body->addWidget(m_email);

    auto* descriptionLabel = new QLabel(qs(texts::kDescriptionLabel), this);
    descriptionLabel->setWordWrap(true);
    m_description = new QPlainTextEdit(this);
    m_description->setObjectName(QStringLiteral("description"));
    m_description->setTabChangesFocus(true);
    body->addSpacing(6);
    body->addWidget(descriptionLabel);
    body->addWidget(m_description, 1);

    m_link = new QLabel(this);
    m_link->setObjectName(QStringLiteral("contentsLink"));
    m_link->setTextFormat(Qt::RichText);
    m_link->setText(qs(texts::kContentsLead).toHtmlEscaped() + QStringLiteral("<a href=\"contents\">") +
                    qs(texts::kContentsLink).toHtmlEscaped() + QStringLiteral("</a>"));
    m_link->setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
    connect(m_link, &QLabel::linkActivated, this, [this] { showContents(); });
    body->addSpacing(6);
    body->addWidget(m_link);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    m_send = new QPushButton(qs(texts::kSend), this);
    m_send->setObjectName(QStringLiteral("send"));
    m_send->setDefault(true);
    m_close = new QPushButton(qs(texts::kClose), this);
    m_close->setObjectName(QStringLiteral("close"));
    buttons->addWidget(m_send);
    buttons->addWidget(m_close);
    body->addSpacing(6);
    body->addLayout(buttons);
    outer->addLayout(body, 1);

    connect(m_send, &QPushButton::clicked, this, [this] { send(); });
    connect(m_close, &QPushButton::clicked, this, &QDialog::reject);
    resize(460, 400);
}

void CrashReportDialog::showContents()
{
    if (m_contents) {
        m_contents->raise();
        return;
    }
    m_contents = new CrashReportContentsDialog(m_controller.report().files, m_opener, this);
    m_contents->setAttribute(Qt::WA_DeleteOnClose);
    m_contents->open();
}

void CrashReportDialog::send()
{
    m_lastOutcome = m_controller.send(m_email->text(), m_description->toPlainText());
    if (*m_lastOutcome == SendOutcome::InvalidEmail) {
        m_email->setFocus();
        m_email->selectAll();
        return;
    }
    accept();
}

}  // namespace tarnwick::ui
