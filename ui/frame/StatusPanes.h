#pragma once

#include <QString>

#include "ui/frame/StatusPaneTexts.h"

class QLabel;
class QStatusBar;

namespace tarnwick::ui {

// The five panes of the main window's status bar: the message text, the
// viewer's caret position and the indicators "UF", "NUM" and "RF". The status
// bar owns the labels.
class StatusPanes {
public:
    explicit StatusPanes(QStatusBar* bar);

    void setMessage(const QString& text);
    QString message() const;
    void setCaretText(const QString& text);
    QString caretText() const;
    void setLocks(const KeyboardLocks& locks);

    QLabel* caretPane() const { return m_caret; }

private:
    QLabel* m_message;
    QLabel* m_caret;
    QLabel* m_caps;
    QLabel* m_num;
    QLabel* m_scroll;
};

}  // namespace tarnwick::ui
