#include "ui/results/ResultsDelegate.h"

#include <QApplication>
#include <QPainter>
#include <QTextLayout>
#include <algorithm>

#include "ui/results/ResultsModel.h"

namespace tarnwick::ui {

QColor ResultsDelegate::highlightColor() { return QColor(255, 214, 64); }

void ResultsDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    const QVariant range = index.data(ResultsModel::HighlightRole);
    if (!range.isValid()) {
        QStyledItemDelegate::paint(painter, option, index);
        return;
    }
    QStyleOptionViewItem opt = option;
    initStyleOption(&opt, index);
    const QWidget* widget = opt.widget;
    QStyle* style = widget ? widget->style() : QApplication::style();
    // The text rectangle is taken while the option still has its text;
    // the style then draws background, check box and focus without it.
    const QRect textRect = style->subElementRect(QStyle::SE_ItemViewItemText, &opt, widget);
    const QString text = opt.text;
    opt.text.clear();
    style->drawControl(QStyle::CE_ItemViewItem, &opt, painter, widget);

    const QPoint bounds = range.toPoint();
    const int start = std::clamp(bounds.x(), 0, static_cast<int>(text.size()));
    const int end = std::clamp(bounds.y(), start, static_cast<int>(text.size()));
    QTextLayout layout(text, opt.font);
    QTextOption textOption;
    textOption.setWrapMode(QTextOption::NoWrap);
    layout.setTextOption(textOption);
    layout.beginLayout();
    QTextLine line = layout.createLine();
    if (line.isValid()) line.setLineWidth(1e6);
    layout.endLayout();
    if (!line.isValid()) return;

    QList<QTextLayout::FormatRange> formats;
    if (end > start) {
        QTextLayout::FormatRange hit;
        hit.start = start;
        hit.length = end - start;
        hit.format.setBackground(highlightColor());
        hit.format.setForeground(QColor(Qt::black));
        formats.append(hit);
    }
    const bool selected = opt.state & QStyle::State_Selected;
    const QPalette::ColorGroup group = (opt.state & QStyle::State_Enabled) ? QPalette::Normal : QPalette::Disabled;
    painter->save();
    painter->setClipRect(textRect);
    painter->setPen(opt.palette.color(group, selected ? QPalette::HighlightedText : QPalette::Text));
    // The style keeps a small margin left of the text; keep it too.
    const int margin = style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, widget) + 1;
    const qreal y = textRect.top() + (textRect.height() - line.height()) / 2.0;
    layout.draw(painter, QPointF(textRect.left() + margin, y), formats);
    painter->restore();
}

}  // namespace tarnwick::ui
