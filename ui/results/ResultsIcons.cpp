#include "ui/results/ResultsIcons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <array>
#include <functional>

#include "results/ResultList.h"
#include "ui/results/ResultsCommandTexts.h"

namespace tarnwick::ui {

namespace {

const QColor kInk(70, 70, 70);
const QColor kBlue(29, 101, 196);
const QColor kRed(206, 32, 32);
const QColor kPaper(255, 255, 255);

// A sheet with a folded top-right corner inside the 16 x 16 cell.
void drawPage(QPainter& p, const QColor& border = kInk, int left = 3, int right = 13)
{
    QPolygonF sheet;
    sheet << QPointF(left + 0.5, 1.5) << QPointF(right - 3.5, 1.5) << QPointF(right + 0.5, 5.5) << QPointF(right + 0.5, 15.5)
          << QPointF(left + 0.5, 15.5);
    p.setPen(QPen(border, 1));
    p.setBrush(kPaper);
    p.drawPolygon(sheet);
    QPolygonF fold;
    fold << QPointF(right - 3.5, 1.5) << QPointF(right - 3.5, 5.5) << QPointF(right + 0.5, 5.5);
    p.setBrush(QColor(220, 220, 220));
    p.drawPolygon(fold);
}

void drawLines(QPainter& p, const QColor& color, int left, int right, int top = 7)
{
    p.setPen(QPen(color, 1));
    for (int y = top; y <= 13; y += 2) p.drawLine(QPointF(left + 0.5, y + 0.5), QPointF(right + 0.5, y + 0.5));
}

void drawTick(QPainter& p, const QRectF& box, qreal width)
{
    QPainterPath tick;
    tick.moveTo(box.left(), box.top() + box.height() * 0.55);
    tick.lineTo(box.left() + box.width() * 0.38, box.bottom());
    tick.lineTo(box.right(), box.top());
    p.setPen(QPen(kRed, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPath(tick);
}

void drawInfo(QPainter& p)
{
    p.setPen(QPen(kBlue.darker(130), 1));
    p.setBrush(kBlue);
    p.drawEllipse(QRectF(1.5, 1.5, 13, 13));
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawRect(QRectF(7, 3.5, 2, 2));
    p.drawRect(QRectF(7, 6.5, 2, 6));
}

void drawTextDocument(QPainter& p)
{
    drawPage(p);
    drawLines(p, QColor(120, 120, 120), 5, 11);
}

void drawCross(QPainter& p)
{
    p.setPen(QPen(kRed, 3, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(3.5, 3.5), QPointF(12.5, 12.5));
    p.drawLine(QPointF(12.5, 3.5), QPointF(3.5, 12.5));
}

void drawWindowDocument(QPainter& p)
{
    p.setPen(QPen(kInk, 1));
    p.setBrush(kPaper);
    p.drawRect(QRectF(1.5, 2.5, 13, 12));
    p.setPen(Qt::NoPen);
    p.setBrush(kBlue);
    p.drawRect(QRectF(2, 3, 12, 3));
    drawLines(p, QColor(120, 120, 120), 4, 11, 8);
}

void drawFolder(QPainter& p)
{
    const QColor body(232, 185, 35);
    p.setPen(QPen(body.darker(160), 1));
    p.setBrush(body.darker(110));
    p.drawRect(QRectF(1.5, 3.5, 6, 3));
    p.setBrush(body);
    p.drawRect(QRectF(1.5, 5.5, 13, 9));
}

void drawRedTick(QPainter& p) { drawTick(p, QRectF(2.5, 3.5, 11, 9), 3); }

void drawWordDocument(QPainter& p)
{
    drawPage(p, kBlue.darker(120), 4, 14);
    drawLines(p, kBlue.lighter(140), 10, 12);
    p.setPen(QPen(kBlue.darker(130), 1));
    p.setBrush(kBlue);
    p.drawRect(QRectF(0.5, 4.5, 8, 8));
    // A white "page of text" mark on the blue band.
    p.setPen(QPen(Qt::white, 1));
    for (int y = 6; y <= 10; y += 2) p.drawLine(QPointF(2.5, y + 0.5), QPointF(6.5, y + 0.5));
}

void drawReplacedWordDocument(QPainter& p)
{
    drawWordDocument(p);
    drawTick(p, QRectF(7.5, 8.5, 8, 6), 2.5);
}

using Drawing = std::function<void(QPainter&)>;

QPixmap drawIcon(const Drawing& draw)
{
    QPixmap pixmap(kKindIconSize, kKindIconSize);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    draw(p);
    return pixmap;
}

void drawCheckBox(QPainter& p)
{
    p.setPen(QPen(kInk, 1));
    p.setBrush(kPaper);
    p.drawRect(QRectF(2.5, 2.5, 11, 11));
}

}  // namespace

// The images are made on first use and deliberately never freed: freeing
// them at exit would run after the application object is gone.
const QPixmap& KindIconStrip()
{
    static const QPixmap& strip = *new QPixmap([] {
        const std::array<Drawing, kKindCount> kinds{drawInfo,   drawTextDocument, drawCross,        drawWindowDocument,
                                                    drawFolder, drawRedTick,      drawWordDocument, drawReplacedWordDocument};
        QPixmap pixmap(kKindIconSize * kKindCount, kKindIconSize);
        pixmap.fill(Qt::transparent);
        QPainter p(&pixmap);
        for (int kind = 0; kind < kKindCount; ++kind) p.drawPixmap(kind * kKindIconSize, 0, drawIcon(kinds[kind]));
        p.end();
        return pixmap;
    }());
    return strip;
}

const QIcon& KindIcon(ItemKind kind)
{
    static const auto& icons = *new std::array<QIcon, kKindCount>([] {
        std::array<QIcon, kKindCount> result;
        for (int k = 0; k < kKindCount; ++k)
            result[k] = QIcon(KindIconStrip().copy(k * kKindIconSize, 0, kKindIconSize, kKindIconSize));
        return result;
    }());
    static const QIcon& none = *new QIcon;
    // The strip holds the kinds in the order of their values.
    const int place = static_cast<int>(kind);
    return place >= 0 && place < kKindCount ? icons[place] : none;
}

QIcon CommandIcon(int commandId)
{
    using namespace ResultsCommandId;
    switch (commandId) {
    case OpenInViewer:
        return QIcon(drawIcon([](QPainter& p) {
            drawTextDocument(p);
            p.setPen(QPen(kBlue.darker(120), 2));
            p.setBrush(QColor(200, 225, 255));
            p.drawEllipse(QRectF(5, 6, 6, 6));
            p.drawLine(QPointF(10.5, 11.5), QPointF(14, 15));
        }));
    case OpenWithProgram:
        return QIcon(drawIcon([](QPainter& p) {
            drawTextDocument(p);
            p.setPen(QPen(QColor(30, 140, 40), 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
            p.drawLine(QPointF(6, 12), QPointF(12, 6));
            p.drawPolyline(QPolygonF() << QPointF(8, 6) << QPointF(12, 6) << QPointF(12, 10));
        }));
    case OpenInExternalEditor:
        return QIcon(drawIcon([](QPainter& p) {
            drawTextDocument(p);
            // A pencil across the page.
            p.setPen(QPen(QColor(150, 90, 20), 2.5, Qt::SolidLine, Qt::RoundCap));
            p.drawLine(QPointF(6, 14), QPointF(13, 7));
            p.setPen(QPen(Qt::black, 1));
            p.drawLine(QPointF(4.5, 15.5), QPointF(6, 14));
        }));
    case ReplaceMarked:
        return QIcon(drawIcon([](QPainter& p) {
            drawTextDocument(p);
            drawTick(p, QRectF(5.5, 7.5, 9, 7), 2.5);
        }));
    case MarkAll:
        return QIcon(drawIcon([](QPainter& p) {
            drawCheckBox(p);
            p.setPen(QPen(kInk, 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
            p.drawPolyline(QPolygonF() << QPointF(4.5, 8) << QPointF(7, 10.5) << QPointF(11.5, 5));
        }));
    case MarkNone: return QIcon(drawIcon(drawCheckBox));
    case Export:
        return QIcon(drawIcon([](QPainter& p) {
            drawPage(p, kInk, 1, 11);
            drawLines(p, QColor(120, 120, 120), 3, 8);
            p.setPen(QPen(kBlue, 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
            p.drawLine(QPointF(7, 11), QPointF(14.5, 11));
            p.drawPolyline(QPolygonF() << QPointF(12, 8.5) << QPointF(14.5, 11) << QPointF(12, 13.5));
        }));
    case ExpandAll:
    case CollapseAll:
        return QIcon(drawIcon([commandId](QPainter& p) {
            drawCheckBox(p);
            p.setPen(QPen(kInk, 1.5));
            p.drawLine(QPointF(5, 8), QPointF(11, 8));
            if (commandId == ExpandAll) p.drawLine(QPointF(8, 5), QPointF(8, 11));
        }));
    default: return {};
    }
}

}  // namespace tarnwick::ui
