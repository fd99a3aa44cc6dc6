#pragma once
// The tree of the results pane: a QTreeView that reports what the pane
// reacts to instead of acting itself: a double click or Enter on a hit, the
// user scrolling, and a request for the context menu.
#include <QTreeView>

namespace tarnwick::ui {

class ResultsTreeView : public QTreeView {
    Q_OBJECT

public:
    explicit ResultsTreeView(QWidget* parent = nullptr);

    // Lays out rows inserted since the last layout now rather than later.
    void layoutPendingRows() { executeDelayedItemsLayout(); }

signals:
    // Double click on a hit, or Enter while a hit is the current item.
    void openHitRequested(const QModelIndex& hit);
    // The user moved the view vertically (scroll bar, wheel, keys).
    void userScrolled();
    // Right button or context-menu key; the position is global.
    void contextMenuWanted(const QPoint& globalPos);

protected:
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
};

}  // namespace tarnwick::ui
