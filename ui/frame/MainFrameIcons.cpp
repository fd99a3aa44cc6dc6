#include "ui/frame/MainFrameIcons.h"

#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QRadialGradient>
#include <QtMath>

#include <functional>

namespace tarnwick::ui {

QIcon PaintedIcon(const std::function<void(QPainter&)>& paint)
{
    QIcon icon;
    for (int size : {16, 24, 32}) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter p(&pixmap);
        p.setRenderHint(QPainter::Antialiasing);
        p.scale(size / 16.0, size / 16.0);
        paint(p);
        p.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

namespace {

using Painter = std::function<void(QPainter&)>;

QLinearGradient Vertical(qreal top, qreal bottom, const QColor& from, const QColor& to)
{
    QLinearGradient g(0, top, 0, bottom);
    g.setColorAt(0, from);
    g.setColorAt(1, to);
    return g;
}

void PaintMagnifier(QPainter& p)
{
    p.setPen(QPen(QColor(0x6b, 0x42, 0x16), 2.6, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(10.2, 10.2), QPointF(14.3, 14.3));
    QRadialGradient lens(QPointF(5.2, 5.2), 5.5);
    lens.setColorAt(0, QColor(0xf4, 0xfa, 0xff));
    lens.setColorAt(1, QColor(0x8e, 0xc0, 0xee));
    p.setBrush(lens);
    p.setPen(QPen(QColor(0x27, 0x55, 0x96), 1.5));
    p.drawEllipse(QPointF(6.5, 6.5), 4.7, 4.7);
}

void PaintArrow(QPainter& p, qreal y, bool toRight, const QColor& color)
{
    QPainterPath path;
    const qreal tail = toRight ? 1.5 : 14.5;
    const qreal neck = toRight ? 9.5 : 6.5;
    const qreal tip = toRight ? 14.8 : 1.2;
    path.moveTo(tail, y - 1.2);
    path.lineTo(neck, y - 1.2);
    path.lineTo(neck, y - 3.4);
    path.lineTo(tip, y);
    path.lineTo(neck, y + 3.4);
    path.lineTo(neck, y + 1.2);
    path.lineTo(tail, y + 1.2);
    path.closeSubpath();
    p.setPen(QPen(color.darker(150), 0.8));
    p.setBrush(Vertical(y - 3.4, y + 3.4, color.lighter(135), color));
    p.drawPath(path);
}

void PaintReplace(QPainter& p)
{
    PaintArrow(p, 4.6, true, QColor(0x2f, 0x6f, 0xd0));
    PaintArrow(p, 11.4, false, QColor(0x2e, 0x9a, 0x3e));
}

// The replace arrows looked at: a small magnifier over their lower right.
void PaintMagnifierCorner(QPainter& p)
{
    p.save();
    p.translate(6.0, 6.0);
    p.scale(0.62, 0.62);
    PaintMagnifier(p);
    p.restore();
}

void PaintStop(QPainter& p)
{
    QPolygonF octagon;
    for (int i = 0; i < 8; ++i) {
        const qreal angle = qDegreesToRadians(22.5 + 45.0 * i);
        octagon << QPointF(8 + 7.2 * qCos(angle), 8 + 7.2 * qSin(angle));
    }
    p.setPen(QPen(QColor(0x8e, 0x16, 0x12), 0.9));
    p.setBrush(Vertical(1, 15, QColor(0xf2, 0x6b, 0x5f), QColor(0xc4, 0x1e, 0x17)));
    p.drawPolygon(octagon);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawRoundedRect(QRectF(3.6, 6.6, 8.8, 2.8), 0.8, 0.8);
}

void PaintPrinter(QPainter& p)
{
    p.setPen(QPen(QColor(0x6a, 0x6a, 0x6a), 0.8));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(4, 1.5, 8, 5));
    p.setBrush(Vertical(6, 12, QColor(0xd8, 0xdb, 0xe0), QColor(0x8c, 0x92, 0x9c)));
    p.drawRoundedRect(QRectF(1.2, 6, 13.6, 6.4), 1.2, 1.2);
    p.setBrush(Qt::white);
    p.drawRect(QRectF(4, 10, 8, 4.8));
    p.setPen(QPen(QColor(0x9a, 0xa4, 0xb4), 0.8));
    p.drawLine(QPointF(5.5, 11.8), QPointF(10.5, 11.8));
    p.drawLine(QPointF(5.5, 13.4), QPointF(9.5, 13.4));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x3c, 0xb0, 0x44));
    p.drawEllipse(QPointF(12.6, 8), 0.8, 0.8);
}

void PaintGear(QPainter& p)
{
    QPainterPath gear;
    const int teeth = 8;
    for (int i = 0; i < teeth * 4; ++i) {
        const qreal angle = qDegreesToRadians(360.0 * i / (teeth * 4));
        const qreal radius = (i % 4 == 0 || i % 4 == 1) ? 7.3 : 5.4;
        const QPointF point(8 + radius * qCos(angle), 8 + radius * qSin(angle));
        if (i == 0)
            gear.moveTo(point);
        else
            gear.lineTo(point);
    }
    gear.closeSubpath();
    QPainterPath hole;
    hole.addEllipse(QPointF(8, 8), 2.2, 2.2);
    p.setPen(QPen(QColor(0x3e, 0x4a, 0x58), 0.8));
    p.setBrush(Vertical(1, 15, QColor(0xb8, 0xc4, 0xd2), QColor(0x5c, 0x6c, 0x80)));
    p.drawPath(gear.subtracted(hole));
}

void PaintBadge(QPainter& p, const QString& glyph, const QColor& color)
{
    p.setPen(QPen(color.darker(160), 0.8));
    p.setBrush(Vertical(1, 15, color.lighter(150), color));
    p.drawEllipse(QPointF(8, 8), 7, 7);
    QFont font;
    font.setBold(true);
    font.setPixelSize(11);
    QPainterPath text;
    text.addText(0, 0, font, glyph);
    const QRectF box = text.boundingRect();
    p.translate(8 - box.center().x(), 8 - box.center().y());
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawPath(text);
}

}  // namespace

QIcon CommandIcon(FrameCommand id)
{
    switch (id) {
    case FrameCommand::StartSearch: return PaintedIcon(PaintMagnifier);
    case FrameCommand::StartReplace: return PaintedIcon(PaintReplace);
    case FrameCommand::PreviewReplace:
        return PaintedIcon([](QPainter& p) {
            PaintReplace(p);
            PaintMagnifierCorner(p);
        });
    case FrameCommand::Stop: return PaintedIcon(PaintStop);
    case FrameCommand::FilePrint: return PaintedIcon(PaintPrinter);
    case FrameCommand::Options: return PaintedIcon(PaintGear);
    case FrameCommand::About:
        return PaintedIcon([](QPainter& p) { PaintBadge(p, QStringLiteral("i"), QColor(0x2f, 0x6f, 0xd0)); });
    case FrameCommand::Help:
        return PaintedIcon([](QPainter& p) { PaintBadge(p, QStringLiteral("?"), QColor(0x1f, 0x8f, 0x8a)); });
    default: return {};
    }
}

}  // namespace tarnwick::ui
