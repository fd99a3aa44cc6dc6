#include "ui/frame/StatusPanes.h"

#include <QFontMetrics>
#include <QLabel>
#include <QStatusBar>

namespace tarnwick::ui {
namespace {

QLabel* MakeIndicator(QStatusBar* bar, const QString& text)
{
    auto* label = new QLabel(text, bar);
    label->setAlignment(Qt::AlignCenter);
    // The width of the text itself, so the pane does not jump when it lights up.
    label->setMinimumWidth(label->fontMetrics().horizontalAdvance(text) + 12);
    label->setEnabled(false);
    bar->addPermanentWidget(label);
    return label;
}

}  // namespace

StatusPanes::StatusPanes(QStatusBar* bar)
{
    m_message = new QLabel(bar);
    m_message->setObjectName(QStringLiteral("messagePane"));
    m_message->setMinimumWidth(1);  // a long path must not widen the window
    bar->addWidget(m_message, 1);

    m_caret = new QLabel(bar);
    m_caret->setObjectName(QStringLiteral("caretPane"));
    m_caret->setAlignment(Qt::AlignCenter);
    m_caret->setMinimumWidth(m_caret->fontMetrics().horizontalAdvance(QString::fromUtf8(kCaretPaneFormat)) + 12);
    bar->addPermanentWidget(m_caret);

    m_caps = MakeIndicator(bar, QStringLiteral("UF"));
    m_num = MakeIndicator(bar, QStringLiteral("NUM"));
    m_scroll = MakeIndicator(bar, QStringLiteral("RF"));
}

void StatusPanes::setMessage(const QString& text) { m_message->setText(text); }

QString StatusPanes::message() const { return m_message->text(); }

void StatusPanes::setCaretText(const QString& text) { m_caret->setText(text); }

QString StatusPanes::caretText() const { return m_caret->text(); }

void StatusPanes::setLocks(const KeyboardLocks& locks)
{
    m_caps->setEnabled(locks.capsLock);
    m_num->setEnabled(locks.numLock);
    m_scroll->setEnabled(locks.scrollLock);
}

}  // namespace tarnwick::ui
