#pragma once
// Draws column 0 of a hit with the matched part of its context highlighted;
// every other cell is drawn the ordinary way.
#include <QStyledItemDelegate>

namespace tarnwick::ui {

class ResultsDelegate : public QStyledItemDelegate {
    Q_OBJECT

public:
    using QStyledItemDelegate::QStyledItemDelegate;

    // The background of the highlighted part.
    static QColor highlightColor();

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
};

}  // namespace tarnwick::ui
