// The viewer's printing: the dialogs and the text laid out on the pages.
#include "ui/viewer/ViewerPrinting.h"

#include <QAbstractTextDocumentLayout>
#include <QPageSetupDialog>
#include <QPlainTextEdit>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QTextDocument>
#include <QTextFrame>

#include <algorithm>

namespace tarnwick::ui {
namespace {

// Half an inch (720 twips) on every side.
constexpr qreal kMarginInch = 0.5;

}  // namespace

ViewerPrinting::ViewerPrinting(const QPlainTextEdit& edit) : m_edit(edit) {}

ViewerPrinting::~ViewerPrinting() = default;

QPrinter& ViewerPrinting::printer()
{
    // Made on first use: a printer looks for the print system.
    if (!m_printer) m_printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    return *m_printer;
}

void ViewerPrinting::print(QWidget* parent)
{
    QPrintDialog dialog(&printer(), parent);
    if (dialog.exec() == QDialog::Accepted) printDocument(&printer());
}

void ViewerPrinting::preview(QWidget* parent)
{
    QPrintPreviewDialog preview(&printer(), parent);
    QObject::connect(&preview, &QPrintPreviewDialog::paintRequested, [this](QPrinter* target) { printDocument(target); });
    preview.exec();
}

void ViewerPrinting::setUpPage(QWidget* parent)
{
    QPageSetupDialog dialog(&printer(), parent);
    dialog.exec();
}

void ViewerPrinting::printDocument(QPrinter* target) const
{
    target->setPageMargins(QMarginsF(kMarginInch, kMarginInch, kMarginInch, kMarginInch), QPageLayout::Inch);
    std::unique_ptr<QTextDocument> copy(m_edit.document()->clone());
    // The screen font's pixels become points, so the print has the size seen.
    QFont font = m_edit.font();
    if (font.pixelSize() > 0) font.setPointSizeF(font.pixelSize() * 72.0 / std::max(1, m_edit.logicalDpiY()));
    copy->setDefaultFont(font);
    QTextOption option = copy->defaultTextOption();
    option.setWrapMode(m_edit.lineWrapMode() != QPlainTextEdit::NoWrap ? QTextOption::WrapAtWordBoundaryOrAnywhere
                                                                       : QTextOption::NoWrap);
    copy->setDefaultTextOption(option);
    copy->documentLayout()->setPaintDevice(target);
    // A page size of its own keeps the document from adding margins of its own.
    copy->setPageSize(target->pageLayout().paintRectPixels(target->resolution()).size());
    QTextFrameFormat frame = copy->rootFrame()->frameFormat();
    frame.setMargin(0);
    copy->rootFrame()->setFrameFormat(frame);
    copy->print(target);
}

}  // namespace tarnwick::ui
