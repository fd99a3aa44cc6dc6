#include "ui/results/ResultsTreeView.h"

#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScrollBar>

#include "ui/results/ResultsModel.h"

namespace tarnwick::ui {

namespace {

bool isHit(const QModelIndex& index) { return index.isValid() && index.parent().isValid(); }

// The item selected first decides what Enter does.
QModelIndex firstSelected(const QAbstractItemModel* model)
{
    const auto* results = qobject_cast<const ResultsModel*>(model);
    if (!results) return {};
    const std::vector<ItemHandle> selected = results->list().SelectedItems();
    return selected.empty() ? QModelIndex() : results->indexOf(selected.front());
}

}  // namespace

ResultsTreeView::ResultsTreeView(QWidget* parent) : QTreeView(parent)
{
    // Double clicks are decided here, for every column alike.
    setExpandsOnDoubleClick(false);
    // actionTriggered comes only from the user's own use of the scroll bar
    // or the wheel, never from scrollTo(), new rows or a reset.
    connect(verticalScrollBar(), &QScrollBar::actionTriggered, this, [this](int) { emit userScrolled(); });
}

void ResultsTreeView::mouseDoubleClickEvent(QMouseEvent* event)
{
    const QModelIndex index = indexAt(event->position().toPoint());
    if (!index.isValid() || event->button() != Qt::LeftButton) {
        QTreeView::mouseDoubleClickEvent(event);
        return;
    }
    const QModelIndex item = index.siblingAtColumn(0);
    if (isHit(item))
        emit openHitRequested(item);
    else if (model()->hasChildren(item))
        setExpanded(item, !isExpanded(item));
    emit doubleClicked(index);
    event->accept();
}

void ResultsTreeView::keyPressEvent(QKeyEvent* event)
{
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    const QModelIndex selected = enter ? firstSelected(model()) : QModelIndex();
    if (isHit(selected)) {
        emit openHitRequested(selected);
        event->accept();
        return;
    }
    const int before = verticalScrollBar()->value();
    QTreeView::keyPressEvent(event);
    if (verticalScrollBar()->value() != before) emit userScrolled();
}

void ResultsTreeView::contextMenuEvent(QContextMenuEvent* event)
{
    // From the keyboard there is no mouse position: open near the top-left
    // corner of the list.
    const QPoint pos =
        event->reason() == QContextMenuEvent::Keyboard ? viewport()->mapToGlobal(QPoint(5, 5)) : event->globalPos();
    emit contextMenuWanted(pos);
    event->accept();
}

}  // namespace tarnwick::ui
