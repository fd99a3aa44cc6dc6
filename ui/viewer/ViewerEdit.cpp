#include "ui/viewer/ViewerEdit.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QTextBlock>
#include <algorithm>

namespace tarnwick::ui {

ViewerEdit::ViewerEdit(QWidget* parent) : QPlainTextEdit(parent)
{
    setObjectName(QStringLiteral("viewerEdit"));
    setLineWrapMode(QPlainTextEdit::WidgetWidth);
}

void ViewerEdit::selectRange(qsizetype start, qsizetype end)
{
    QTextCursor cursor = textCursor();
    cursor.setPosition(static_cast<int>(start));
    cursor.setPosition(static_cast<int>(end), QTextCursor::KeepAnchor);
    setTextCursor(cursor);
    ensureCursorVisible();
}

// Dropped files are opened by the main window, so a drop of file names is
// left to it; anything that is not plain text is refused.
bool ViewerEdit::canInsertFromMimeData(const QMimeData* source) const
{
    return source != nullptr && source->hasText() && !source->hasUrls();
}

void ViewerEdit::insertFromMimeData(const QMimeData* source)
{
    // Replacing the base's insert skips its own read-only check.
    if (!isReadOnly() && canInsertFromMimeData(source)) textCursor().insertText(source->text());
}

void ViewerEdit::keyPressEvent(QKeyEvent* event)
{
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter && (event->modifiers() & Qt::ShiftModifier) && !isReadOnly()) {
        // A line separator inside a line could not be written back as the file's line end.
        textCursor().insertBlock();
        ensureCursorVisible();
        return;
    }
    QPlainTextEdit::keyPressEvent(event);
}

void ViewerEdit::contextMenuEvent(QContextMenuEvent* event)
{
    // The mouse opens the menu when its button is released (mouseReleaseEvent).
    if (event->reason() == QContextMenuEvent::Mouse) {
        event->accept();
        return;
    }
    showContextMenu(event->globalPos());
}

void ViewerEdit::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::RightButton) {
        showContextMenu(event->globalPosition().toPoint());
        event->accept();
        return;
    }
    QPlainTextEdit::mouseReleaseEvent(event);
}

void ViewerEdit::mouseDoubleClickEvent(QMouseEvent* event)
{
    m_hadDoubleClick = true;
    m_doubleClickAt = event->timestamp();
    QPlainTextEdit::mouseDoubleClickEvent(event);
}

void ViewerEdit::mousePressEvent(QMouseEvent* event)
{
    const bool tripleClick = event->button() == Qt::LeftButton && m_hadDoubleClick &&
        event->timestamp() - m_doubleClickAt <= quint64(QApplication::doubleClickInterval());
    QPlainTextEdit::mousePressEvent(event);
    if (!tripleClick || !m_linesJoined) return;
    // The editor selected its block; the line is the part between two U+2028.
    QTextCursor cursor = cursorForPosition(event->position().toPoint());
    const QTextBlock block = cursor.block();
    const QString text = block.text();
    const int at = cursor.positionInBlock();
    const int start = static_cast<int>(text.lastIndexOf(QChar::LineSeparator, std::max(0, at - 1)));
    const int lineStart = at > 0 && start >= 0 ? start + 1 : 0;
    int lineEnd = static_cast<int>(text.indexOf(QChar::LineSeparator, at));
    lineEnd = lineEnd < 0 ? static_cast<int>(text.size()) : lineEnd + 1;
    cursor.setPosition(block.position() + lineStart);
    cursor.setPosition(block.position() + lineEnd, QTextCursor::KeepAnchor);
    setTextCursor(cursor);
}

void ViewerEdit::showContextMenu(const QPoint& globalPos)
{
    if (m_contextMenu != nullptr) m_contextMenu->popup(globalPos);
}

}  // namespace tarnwick::ui
