#include "ui/viewer/ViewerIcons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <functional>

#include "ui/frame/MainFrameIcons.h"

namespace tarnwick::ui {
namespace {

const QColor kInk(0x33, 0x44, 0x55);
const QColor kPaper(0xfd, 0xfd, 0xf6);
const QColor kBlue(0x2f, 0x6f, 0xd0);

void Sheet(QPainter& p, const QRectF& r)
{
    p.setPen(QPen(kInk, 0.9));
    p.setBrush(kPaper);
    p.drawRect(r);
    p.setPen(QPen(QColor(0x9a, 0xa8, 0xb8), 0.8));
    for (qreal y = r.top() + 2.5; y < r.bottom() - 1; y += 2) p.drawLine(QPointF(r.left() + 1.8, y), QPointF(r.right() - 1.8, y));
}

void Floppy(QPainter& p)
{
    p.setPen(QPen(kInk, 0.9));
    p.setBrush(kBlue);
    p.drawRoundedRect(QRectF(1.5, 1.5, 13, 13), 1.2, 1.2);
    p.setBrush(Qt::white);
    p.drawRect(QRectF(4, 2, 8, 5));
    p.setBrush(QColor(0xd8, 0xdc, 0xe2));
    p.drawRect(QRectF(4.5, 9.5, 7, 5));
}

void Scissors(QPainter& p)
{
    p.setPen(QPen(kInk, 1.3));
    p.drawLine(QPointF(4, 1.5), QPointF(10.5, 10));
    p.drawLine(QPointF(12, 1.5), QPointF(5.5, 10));
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(0xc0, 0x30, 0x30), 1.4));
    p.drawEllipse(QPointF(4.2, 12), 2.4, 2.4);
    p.drawEllipse(QPointF(11.8, 12), 2.4, 2.4);
}

void Copy(QPainter& p)
{
    Sheet(p, QRectF(1.5, 1.5, 9, 10));
    Sheet(p, QRectF(5.5, 4.5, 9, 10));
}

void Paste(QPainter& p)
{
    p.setPen(QPen(kInk, 0.9));
    p.setBrush(QColor(0xb0, 0x84, 0x4c));
    p.drawRoundedRect(QRectF(1.5, 2.5, 10, 12.5), 1, 1);
    p.setBrush(QColor(0xc8, 0xc8, 0xc8));
    p.drawRect(QRectF(4, 1.2, 5, 2.6));
    Sheet(p, QRectF(6.5, 6, 8, 9));
}

void Undo(QPainter& p)
{
    QPainterPath arc;
    arc.moveTo(4, 6);
    arc.cubicTo(8, 2.5, 14.5, 4, 13.5, 10);
    arc.cubicTo(13, 12.5, 11, 13.5, 9, 13.5);
    p.setPen(QPen(kBlue, 2, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    p.drawPath(arc);
    QPainterPath head;
    head.moveTo(1.5, 7.5);
    head.lineTo(6.5, 2.5);
    head.lineTo(7, 8.5);
    head.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(kBlue);
    p.drawPath(head);
}

void SelectAll(QPainter& p)
{
    Sheet(p, QRectF(2.5, 1.5, 11, 13));
    p.setPen(QPen(kBlue, 1, Qt::DashLine));
    p.setBrush(QColor(0x2f, 0x6f, 0xd0, 60));
    p.drawRect(QRectF(1, 0.8, 14, 14.4));
}

void Lens(QPainter& p, qreal cx, qreal cy, qreal r)
{
    p.setPen(QPen(QColor(0x6b, 0x42, 0x16), 2.2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(cx + r * 0.7, cy + r * 0.7), QPointF(cx + r * 1.6, cy + r * 1.6));
    p.setPen(QPen(QColor(0x27, 0x55, 0x96), 1.3));
    p.setBrush(QColor(0xd8, 0xea, 0xfb));
    p.drawEllipse(QPointF(cx, cy), r, r);
}

void FindNext(QPainter& p)
{
    Lens(p, 5.5, 5.5, 4);
    QPainterPath arrow;
    arrow.moveTo(9, 11);
    arrow.lineTo(15, 13);
    arrow.lineTo(9, 15);
    arrow.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x2e, 0x9a, 0x3e));
    p.drawPath(arrow);
}

void Replace(QPainter& p)
{
    Lens(p, 5, 5, 3.6);
    p.setPen(QPen(QColor(0x2e, 0x9a, 0x3e), 1.6, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(8.5, 12.5), QPointF(14.5, 12.5));
    p.drawLine(QPointF(12, 10), QPointF(14.5, 12.5));
    p.drawLine(QPointF(12, 15), QPointF(14.5, 12.5));
}

void SaveAs(QPainter& p)
{
    Floppy(p);
    p.setPen(QPen(QColor(0xe0, 0x9a, 0x20), 1.6, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(9, 15), QPointF(15, 9));
}

void OpenFolder(QPainter& p)
{
    p.setPen(QPen(QColor(0x8a, 0x62, 0x10), 0.9));
    p.setBrush(QColor(0xe8, 0xc0, 0x5a));
    p.drawRect(QRectF(1.5, 3.5, 11, 10));
    p.drawRect(QRectF(1.5, 2.5, 5, 2));
    QPainterPath front;
    front.moveTo(3.5, 7);
    front.lineTo(15, 7);
    front.lineTo(12.5, 13.5);
    front.lineTo(1.5, 13.5);
    front.closeSubpath();
    p.setBrush(QColor(0xf6, 0xd8, 0x80));
    p.drawPath(front);
}

}  // namespace

QIcon ViewerCommandIcon(FrameCommand id)
{
    switch (id) {
    case FrameCommand::FileOpen: return PaintedIcon(OpenFolder);
    case FrameCommand::FileSave: return PaintedIcon(Floppy);
    case FrameCommand::FileSaveAs: return PaintedIcon(SaveAs);
    case FrameCommand::Undo: return PaintedIcon(Undo);
    case FrameCommand::Cut: return PaintedIcon(Scissors);
    case FrameCommand::Copy: return PaintedIcon(Copy);
    case FrameCommand::Paste: return PaintedIcon(Paste);
    case FrameCommand::SelectAll: return PaintedIcon(SelectAll);
    case FrameCommand::Find: return CommandIcon(FrameCommand::StartSearch);
    case FrameCommand::Replace: return PaintedIcon(Replace);
    case FrameCommand::FindNext: return PaintedIcon(FindNext);
    default: return CommandIcon(id);
    }
}

}  // namespace tarnwick::ui
