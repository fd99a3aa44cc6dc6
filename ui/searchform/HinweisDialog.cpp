#include "ui/searchform/HinweisDialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>

#include "ui/searchform/SearchFormTexts.h"

namespace tarnwick::ui {

HinweisDialog::HinweisDialog(const QString& message, QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("hinweisDialog"));
    setWindowTitle(QString::fromUtf8(formtext::kProgramTitle));

    auto* icon = new QLabel(this);
    const int size = style()->pixelMetric(QStyle::PM_MessageBoxIconSize, nullptr, this);
    icon->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxWarning, nullptr, this).pixmap(size, size));
    icon->setAlignment(Qt::AlignTop | Qt::AlignHCenter);

    m_message = new QLabel(message, this);
    m_message->setObjectName(QStringLiteral("hinweisText"));
    m_message->setWordWrap(true);
    m_message->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_message->setMinimumWidth(380);

    m_dontShowAgain = new QCheckBox(QString::fromUtf8(formtext::kDontShowAgain), this);
    m_dontShowAgain->setObjectName(QStringLiteral("dontShowAgain"));

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* ok = buttons->addButton(QString::fromUtf8(formtext::kOk), QDialogButtonBox::AcceptRole);
    buttons->addButton(QString::fromUtf8(formtext::kCancel), QDialogButtonBox::RejectRole);
    ok->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QGridLayout(this);
    layout->setHorizontalSpacing(14);
    layout->addWidget(icon, 0, 0, 2, 1);
    layout->addWidget(m_message, 0, 1);
    layout->addWidget(m_dontShowAgain, 1, 1);
    layout->addWidget(buttons, 2, 0, 1, 2);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

bool HinweisDialog::dontShowAgain() const { return m_dontShowAgain->isChecked(); }

}  // namespace tarnwick::ui
