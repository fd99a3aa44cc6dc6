#pragma once
// The viewer's text field: a plain-text editor that pastes and accepts drops
// of plain text only, opens its context menu when the right mouse button is
// released, and makes Shift+Enter a line break like Enter (the file's line
// ends are the only line breaks the viewer writes back).
#include <QPlainTextEdit>

class QMenu;

namespace tarnwick::ui {

class ViewerEdit : public QPlainTextEdit {
    Q_OBJECT

public:
    explicit ViewerEdit(QWidget* parent = nullptr);

    // The menu shown at the mouse position; owned by the caller.
    void setContextMenu(QMenu* menu) { m_contextMenu = menu; }
    // The text's U+2028 are line ends (lines joined into blocks): a triple
    // click selects one of those lines, not the whole block.
    void setLinesJoined(bool joined) { m_linesJoined = joined; }
    // Selects the characters [start, end) and scrolls them into view.
    void selectRange(qsizetype start, qsizetype end);

protected:
    bool canInsertFromMimeData(const QMimeData* source) const override;
    void insertFromMimeData(const QMimeData* source) override;
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    void showContextMenu(const QPoint& globalPos);

    QMenu* m_contextMenu = nullptr;
    bool m_linesJoined = false;
    bool m_hadDoubleClick = false;
    quint64 m_doubleClickAt = 0;  // event time of the last double click
};

}  // namespace tarnwick::ui
