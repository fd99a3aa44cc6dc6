#include "ui/viewer/ViewerPage.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDialog>
#include <QLabel>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QToolBar>
#include <QVBoxLayout>
#include <algorithm>
#include <cerrno>
#include <cstring>

#include "platform/FileWrite.h"
#include "platform/SystemError.h"
#include "settings/ProfileStore.h"
#include "ui/viewer/ViewerActions.h"
#include "ui/viewer/ViewerEdit.h"
#include "ui/viewer/ViewerFindCommands.h"
#include "ui/viewer/ViewerFont.h"
#include "ui/viewer/ViewerLineText.h"
#include "ui/viewer/ViewerTexts.h"

namespace tarnwick::ui {
namespace {

using F = FrameCommand;

}  // namespace

ViewerPage::ViewerPage(settings::ProfileStore& store, const CodePage& codePage, ViewerPrompts* prompts, QWidget* parent)
    : QWidget(parent), m_store(store), m_codec(codePage),
      m_ownPrompts(prompts == nullptr ? std::make_unique<MessageBoxViewerPrompts>(this) : nullptr),
      m_prompts(prompts == nullptr ? *m_ownPrompts : *prompts), m_opener(m_prompts, *this, m_codec)
{
    setObjectName(QStringLiteral("viewerPage"));
    m_edit = new ViewerEdit(this);
    m_lines = std::make_unique<ViewerLineText>(*m_edit);
    m_printing = std::make_unique<ViewerPrinting>(*m_edit);
    m_find = std::make_unique<ViewerFindCommands>(*this, *m_edit, *m_lines, m_prompts, m_readOnly, [this] { updateEnabling(); });
    m_edit->setEnabled(false);  // until a file is loaded
    m_note = new QLabel(this);
    m_note->setObjectName(QStringLiteral("viewerReadOnlyNote"));
    m_note->setWordWrap(true);
    m_note->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_note->setMargin(6);
    m_note->setAutoFillBackground(true);
    m_note->setBackgroundRole(QPalette::ToolTipBase);
    m_note->setForegroundRole(QPalette::ToolTipText);
    m_note->hide();

    m_fontRead = settings::ReadFontSettings(store);
    m_font = m_fontRead;
    if (m_font.height != 0) m_edit->setFont(FontFromSettings(m_font));
    // Kept only to be written back: the editor's tabs are its own.
    m_tabStops = settings::ReadTabStops(store);

    m_actions = std::make_unique<ViewerActions>(this);
    connectCommands();
    m_edit->setContextMenu(m_actions->contextMenu());
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_actions->toolBar());
    layout->addWidget(m_note);
    layout->addWidget(m_edit);

    QTextDocument* doc = m_edit->document();
    connect(doc, &QTextDocument::contentsChange, this,
            [this](int from, int removed, int added) { m_lines->followChange(from, removed, added); });
    connect(doc, &QTextDocument::modificationChanged, this, [this] { updateEnabling(); });
    connect(m_edit, &QPlainTextEdit::undoAvailable, this, [this] { updateEnabling(); });
    connect(m_edit, &QPlainTextEdit::copyAvailable, this, [this] { updateEnabling(); });
    connect(m_edit, &QPlainTextEdit::cursorPositionChanged, this, [this] { reportCaret(); });
    connect(m_edit, &QPlainTextEdit::selectionChanged, this, [this] { reportCaret(); });
    if (QClipboard* clipboard = QApplication::clipboard())
        connect(clipboard, &QClipboard::dataChanged, this, [this] { updateEnabling(); });
    updateEnabling();
}

ViewerPage::~ViewerPage()
{
    // The editor goes after this object's members: nothing it reports may reach them.
    m_edit->document()->disconnect(this);
    m_edit->disconnect(this);
    m_find.reset();
    IgnoreFailure(settings::WriteFontSettings(m_store, m_font, m_fontRead));
    IgnoreFailure(settings::WriteViewerState(m_store, m_tabStops, wordWrap()));
}

void ViewerPage::connectCommands()
{
    const auto on = [this](F id, auto slot) { connect(action(id), &QAction::triggered, this, slot); };
    on(F::FileNew, [this] { newDocument(); });
    on(F::FileSave, [this] { save(); });
    on(F::FileSaveAs, [this] { saveAs(); });
    on(F::FilePrint, [this] { print(); });
    on(F::FilePrintPreview, [this] { printPreview(); });
    on(F::FilePrintSetup, [this] { printSetup(); });
    on(F::Undo, [this] { m_edit->undo(); });
    on(F::Cut, [this] { m_edit->cut(); });
    on(F::Copy, [this] { m_edit->copy(); });
    on(F::Paste, [this] { m_edit->paste(); });
    on(F::SelectAll, [this] { m_edit->selectAll(); });
    on(F::Find, [this] { showFindDialog(false); });
    on(F::Replace, [this] { showFindDialog(true); });
    on(F::FindNext, [this] { findNext(); });
    on(F::GoTo, [this] { askGoTo(); });
    connect(action(F::WordWrap), &QAction::toggled, this, [this](bool on) { setWordWrap(on); });
    on(F::Font, [this] { chooseFont(); });
    connect(m_actions->deleteAction(), &QAction::triggered, this, [this] { m_edit->textCursor().removeSelectedText(); });
}

void ViewerPage::setOpenAction(QAction* open) { m_actions->setOpenAction(open); }

QAction* ViewerPage::action(FrameCommand id) const { return m_actions->action(id); }

QMenu* ViewerPage::contextMenu() const { return m_actions->contextMenu(); }

QToolBar* ViewerPage::toolBar() const { return m_actions->toolBar(); }

void ViewerPage::updateEnabling()
{
    const bool loaded = m_opener.isLoaded();
    const bool writable = loaded && m_readOnly == ReadOnlyReason::None;
    const bool selection = m_edit->textCursor().hasSelection();
    const bool canPaste = writable && m_edit->canPaste();
    const std::pair<F, bool> states[] = {
        {F::FileSave, writable},
        {F::FileSaveAs, writable},
        {F::FilePrint, loaded},
        {F::FilePrintPreview, loaded},
        {F::Paste, canPaste},
        {F::FindNext, loaded && m_find->isFindDone()},
        {F::Undo, writable && m_edit->document()->isUndoAvailable()},
        {F::Cut, writable && selection},
        {F::Copy, loaded && selection},
        {F::SelectAll, loaded},
    };
    for (const auto& [id, enabled] : states) m_actions->setEnabled(id, enabled);
    m_actions->deleteAction()->setEnabled(writable && selection);
}

bool ViewerPage::wordWrap() const { return m_edit->lineWrapMode() != QPlainTextEdit::NoWrap; }

const QString& ViewerPage::text() const { return m_lines->text(); }

void ViewerPage::setLineJoinThreshold(qsizetype lines) { m_lines->setJoinThreshold(lines); }

bool ViewerPage::hasJoinedLines() const { return m_lines->hasJoinedLines(); }

// --- ViewerAccess -----------------------------------------------------------

bool ViewerPage::openForResult(const QString& path, std::int64_t byteStart, std::int64_t byteLength, std::int64_t splitLength)
{
    const bool shown = m_opener.openForResult(path, byteStart, byteLength, splitLength);
    updateEnabling();
    return shown;
}

bool ViewerPage::openInnerForResult(const QString& name, const std::function<ViewerInnerRead()>& read, std::int64_t start,
                                    std::int64_t length, std::int64_t splitLength)
{
    const bool shown = m_opener.openInnerForResult(name, read, start, length, splitLength);
    updateEnabling();
    return shown;
}

void ViewerPage::markForReload() { m_opener.markForReload(); }

bool ViewerPage::newDocument()
{
    const bool emptied = m_opener.newDocument();
    updateEnabling();
    return emptied;
}

bool ViewerPage::openFile(const QString& path)
{
    const bool shown = m_opener.openFile(path);
    updateEnabling();
    return shown;
}

QString ViewerPage::currentPath() const { return m_opener.currentPath(); }

bool ViewerPage::confirmClose() { return m_opener.confirmClose(); }

// --- ViewerDocument ---------------------------------------------------------

bool ViewerPage::isModified() const { return m_opener.isLoaded() && m_edit->document()->isModified(); }

void ViewerPage::showText(const QString& path, ViewerText text)
{
    m_format = text.format;
    m_readOnly = text.readOnly;
    m_edit->setReadOnly(m_readOnly != ReadOnlyReason::None);
    m_note->setText(viewertext::ReadOnlyNote(m_readOnly));
    m_note->setVisible(m_readOnly != ReadOnlyReason::None);
    m_lines->show(std::move(text.text));
    m_edit->document()->setModified(false);
    m_edit->setEnabled(true);
    emit pathChanged(path);
}

void ViewerPage::selectBytes(std::int64_t byteStart, std::int64_t byteLength)
{
    const auto [start, end] = ViewerCodec::charRange(text(), m_format, byteStart, byteLength);
    select(start, end);
}

void ViewerPage::selectCodePoints(std::int64_t start, std::int64_t length)
{
    const auto [from, to] = CodePointRange(text(), start, length);
    select(from, to);
}

void ViewerPage::select(qsizetype start, qsizetype end) { m_edit->selectRange(start, end); }

std::pair<int, int> ViewerPage::lineAndColumnOf(int position) const { return m_lines->lineAndColumnOf(position); }

void ViewerPage::reportCaret()
{
    const auto [line, column] = lineAndColumnOf(m_edit->textCursor().selectionStart());
    emit caretMoved(line, column);
    updateEnabling();
}

// --- find and replace -------------------------------------------------------

void ViewerPage::showFindDialog(bool replace) { m_find->showDialog(replace); }

void ViewerPage::findNext() { m_find->findNext(); }

void ViewerPage::replaceOnce() { m_find->replaceOnce(); }

void ViewerPage::replaceAll() { m_find->replaceAll(); }

void ViewerPage::setFindDefaults(std::function<ViewerFindOptions()> provider) { m_find->setDefaults(std::move(provider)); }

ViewerFindDialog* ViewerPage::findDialog() const { return m_find->dialog(); }

bool ViewerPage::isFindDone() const { return m_find->isFindDone(); }

// --- go to, wrap, font ------------------------------------------------------

void ViewerPage::askGoTo()
{
    ViewerGoToDialog dialog(this);
    if (dialog.exec() == QDialog::Accepted) goTo(dialog.line(), dialog.column());
}

void ViewerPage::goTo(int line, int column)
{
    QTextDocument* doc = m_edit->document();
    const qint64 lineStart = m_lines->lineStart(line);
    // The column may run on into the following lines, but not past the text.
    const qint64 position = std::clamp<qint64>(lineStart + std::max(column, 1) - 1, 0, qint64(doc->characterCount()) - 1);
    QTextCursor cursor = m_edit->textCursor();
    cursor.setPosition(static_cast<int>(position));
    m_edit->setTextCursor(cursor);
    m_edit->ensureCursorVisible();
    m_edit->setFocus();
}

void ViewerPage::setWordWrap(bool on)
{
    m_edit->setLineWrapMode(on ? QPlainTextEdit::WidgetWidth : QPlainTextEdit::NoWrap);
    QAction* wrap = action(F::WordWrap);
    if (wrap->isChecked() != on) wrap->setChecked(on);
}

void ViewerPage::chooseFont()
{
    bool ok = false;
    const QFont font = QFontDialog::getFont(&ok, m_edit->font(), this, QStringLiteral("Schriftart"));
    if (ok) applyFont(font);
}

void ViewerPage::applyFont(const QFont& font)
{
    m_edit->setFont(font);
    m_font = SettingsFromFont(font, m_font);
}

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

void ViewerPage::print()
{
    if (m_opener.isLoaded()) m_printing->print(this);
}

void ViewerPage::printPreview()
{
    if (m_opener.isLoaded()) m_printing->preview(this);
}

void ViewerPage::printSetup() { m_printing->setUpPage(this); }

void ViewerPage::printDocument(QPrinter* printer) { m_printing->printDocument(printer); }

}  // namespace tarnwick::ui
