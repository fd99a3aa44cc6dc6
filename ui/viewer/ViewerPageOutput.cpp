// The viewer's way out: saving the text and printing it.
#include <QAbstractTextDocumentLayout>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFrame>
#include <cerrno>
#include <cstring>

#include "platform/FileWrite.h"
#include "platform/SystemError.h"
#include "ui/viewer/ViewerEdit.h"
#include "ui/viewer/ViewerPage.h"
#include "ui/viewer/ViewerTexts.h"

namespace tarnwick::ui {
namespace {

// Half an inch (720 twips) on every side.
constexpr qreal kMarginInch = 0.5;

}  // namespace

bool ViewerPage::save()
{
    if (!m_opener.isLoaded()) return false;
    if (m_opener.currentPath().isEmpty()) return saveAs();
    return saveTo(m_opener.currentPath());
}

bool ViewerPage::saveAs()
{
    if (!m_opener.isLoaded()) return false;
    const QString current = m_opener.currentPath();
    const QString path =
        m_chooseSaveAs ? m_chooseSaveAs(current) : QFileDialog::getSaveFileName(this, QStringLiteral("Speichern unter"), current);
    if (path.isEmpty() || !saveTo(path)) return false;
    if (path != current) {
        m_opener.setCurrentPath(path);
        emit pathChanged(path);
    }
    return true;
}

bool ViewerPage::saveTo(const QString& path)
{
    // The text is only an approximation of such a file.
    if (m_readOnly != ReadOnlyReason::None) {
        m_prompts.showError(viewertext::CannotSave().arg(path, viewertext::ReadOnlyNote(m_readOnly)));
        return false;
    }
    const QString& content = text();
    const EncodedText encoded = m_codec.encode(content, m_format);
    if (encoded.badCharacter >= 0) {
        // Written in another encoding, the rest of the file would change too.
        const QTextBlock block = m_edit->document()->findBlock(static_cast<int>(encoded.badCharacter));
        const qsizetype length = content[encoded.badCharacter].isHighSurrogate() ? 2 : 1;
        m_prompts.showError(viewertext::CannotEncode().arg(path, QString::number(block.blockNumber() + 1),
                                                           QString::number(encoded.badCharacter - block.position() + 1),
                                                           content.mid(encoded.badCharacter, length)));
        select(encoded.badCharacter, encoded.badCharacter + length);
        return false;
    }
    // A write-protected file stays as it is.
    const QFileInfo target(path);
    if (target.exists() && !target.permissions().testFlag(QFileDevice::WriteOwner)) {
        m_prompts.showError(viewertext::CannotSave().arg(path, QString::fromLocal8Bit(std::strerror(EACCES))));
        return false;
    }
    // The commit every writer of the program uses: a failed write leaves the
    // old file whole; a symbolic link stays a link, and the file keeps its
    // owner, permissions, attributes and hard links.
    const std::error_code error = WriteFileContents(QFile::encodeName(path).toStdString(),
                                                    std::string_view(encoded.bytes.constData(), encoded.bytes.size()));
    if (error) {
        m_prompts.showError(viewertext::CannotSave().arg(path, QString::fromLocal8Bit(SystemErrorText(error).c_str())));
        return false;
    }
    m_edit->document()->setModified(false);
    return true;
}

QPrinter& ViewerPage::printer()
{
    // Made on first use: a printer looks for the print system.
    if (!m_printer) m_printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    return *m_printer;
}

void ViewerPage::print()
{
    if (!m_opener.isLoaded()) return;
    QPrintDialog dialog(&printer(), this);
    if (dialog.exec() == QDialog::Accepted) printDocument(&printer());
}

void ViewerPage::printPreview()
{
    if (!m_opener.isLoaded()) return;
    QPrintPreviewDialog preview(&printer(), this);
    connect(&preview, &QPrintPreviewDialog::paintRequested, this, [this](QPrinter* target) { printDocument(target); });
    preview.exec();
}

void ViewerPage::printSetup()
{
    QPageSetupDialog dialog(&printer(), this);
    dialog.exec();
}

void ViewerPage::printDocument(QPrinter* target)
{
    target->setPageMargins(QMarginsF(kMarginInch, kMarginInch, kMarginInch, kMarginInch), QPageLayout::Inch);
    std::unique_ptr<QTextDocument> copy(m_edit->document()->clone());
    // The screen font's pixels become points, so the print has the size seen.
    QFont font = m_edit->font();
    if (font.pixelSize() > 0) font.setPointSizeF(font.pixelSize() * 72.0 / std::max(1, m_edit->logicalDpiY()));
    copy->setDefaultFont(font);
    QTextOption option = copy->defaultTextOption();
    option.setWrapMode(wordWrap() ? QTextOption::WrapAtWordBoundaryOrAnywhere : QTextOption::NoWrap);
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
