#include "ui/viewer/ViewerPage.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
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
#include "ui/frame/MainFrameCommands.h"
#include "ui/viewer/ViewerEdit.h"
#include "ui/viewer/ViewerFindDialog.h"
#include "ui/viewer/ViewerFont.h"
#include "ui/viewer/ViewerIcons.h"
#include "ui/viewer/ViewerTexts.h"

namespace tarnwick::ui {
namespace {

using F = FrameCommand;

// The commands the page carries out, in the order of its menu.
constexpr F kCommands[] = {
    F::FileNew, F::FileSave,  F::FileSaveAs, F::FilePrint, F::FilePrintPreview, F::FilePrintSetup, F::Undo,     F::Cut, F::Copy,
    F::Paste,   F::SelectAll, F::Find,       F::Replace,   F::FindNext,         F::GoTo,           F::WordWrap, F::Font};

// `text` with only every `perBlock`-th line end left as a block separator;
// the others become U+2028, which the editor shows as a line break too.
QString JoinLines(const QString& text, int perBlock)
{
    QString joined = text;
    QChar* data = joined.data();
    int inBlock = 0;
    for (qsizetype i = 0, n = joined.size(); i < n; ++i) {
        if (data[i] != QLatin1Char('\n')) continue;
        if (++inBlock < perBlock) {
            data[i] = QChar::LineSeparator;
        } else {
            inBlock = 0;
        }
    }
    return joined;
}

int SeparatorsOf(const QTextBlock& block) { return std::max(0, block.userState()); }

QString Utf8(const std::string& text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

}  // namespace

ViewerPage::ViewerPage(settings::ProfileStore& store, const CodePage& codePage, ViewerPrompts* prompts, QWidget* parent)
    : QWidget(parent), m_store(store), m_codec(codePage),
      m_ownPrompts(prompts == nullptr ? std::make_unique<MessageBoxViewerPrompts>(this) : nullptr),
      m_prompts(prompts == nullptr ? *m_ownPrompts : *prompts), m_opener(m_prompts, *this, m_codec)
{
    setObjectName(QStringLiteral("viewerPage"));
    m_edit = new ViewerEdit(this);
    m_printing = std::make_unique<ViewerPrinting>(*m_edit);
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

    createActions();
    createToolBar();
    createContextMenu();
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_toolBar);
    layout->addWidget(m_note);
    layout->addWidget(m_edit);

    QTextDocument* doc = m_edit->document();
    connect(doc, &QTextDocument::contentsChange, this, [this](int from, int removed, int added) {
        if (m_textValid) followEdit(from, removed, added);
        if (m_joinedLines) countLineSeparators(from, from + added);
    });
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
    if (m_findDialog) delete m_findDialog.data();
    settings::WriteFontSettings(m_store, m_font, m_fontRead);
    settings::WriteViewerState(m_store, m_tabStops, wordWrap());
}

void ViewerPage::createActions()
{
    for (F id : kCommands) {
        const CommandEntry* entry = FindCommand(id);
        auto* act = new QAction(entry != nullptr ? Utf8(entry->text) : QString(), this);
        act->setObjectName(QStringLiteral("viewer%1").arg(static_cast<int>(id)));
        if (entry != nullptr) act->setToolTip(Utf8(ToolTipOf(*entry)));
        act->setIcon(ViewerCommandIcon(id));
        m_actions[static_cast<int>(id)] = act;
    }
    QAction* wrap = action(F::WordWrap);
    wrap->setCheckable(true);
    wrap->setChecked(true);

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
    connect(wrap, &QAction::toggled, this, [this](bool on) { setWordWrap(on); });
    on(F::Font, [this] { chooseFont(); });
}

void ViewerPage::createToolBar()
{
    m_toolBar = new QToolBar(viewertext::ToolBarTitle(), this);
    m_toolBar->setObjectName(QStringLiteral("viewerToolBar"));
    m_toolBar->setIconSize(QSize(16, 16));
    QFont font(QStringLiteral("Tohama"));
    font.setPointSize(9);
    m_toolBar->setFont(font);
    const std::optional<F> layout[] = {F::FileSave, F::FileSaveAs, std::nullopt, F::Undo,      std::nullopt,
                                       F::Cut,      F::Copy,       F::Paste,     F::SelectAll, std::nullopt,
                                       F::Find,     F::Replace,    F::FindNext,  std::nullopt, F::FilePrint};
    for (const auto& id : layout) {
        if (id)
            m_toolBar->addAction(action(*id));
        else
            m_toolBar->addSeparator();
    }
}

void ViewerPage::setOpenAction(QAction* open)
{
    if (open == nullptr || m_openAction != nullptr) return;
    m_openAction = open;
    const QList<QAction*> actions = m_toolBar->actions();
    m_toolBar->insertAction(actions.isEmpty() ? nullptr : actions.first(), open);
}

void ViewerPage::createContextMenu()
{
    m_contextMenu = new QMenu(this);
    m_contextMenu->setObjectName(QStringLiteral("viewerContextMenu"));
    const std::pair<int, const char*> entries[] = {
        {static_cast<int>(F::Undo), "&Rückgängig"},
        {0, nullptr},
        {static_cast<int>(F::Cut), "&Ausschneiden"},
        {static_cast<int>(F::Copy), "&Kopieren"},
        {static_cast<int>(F::Paste), "&Einfügen"},
        {kDeleteCommand, "&Löschen"},
        {0, nullptr},
        {static_cast<int>(F::SelectAll), "Alles &markieren"},
        {0, nullptr},
        {static_cast<int>(F::Find), "&Suchen...\tStrg+F"},
        {static_cast<int>(F::Replace), "&Ersetzen\tStrg+H"},
        {static_cast<int>(F::FindNext), "&Weitersuchen"},
        {static_cast<int>(F::GoTo), "&Gehe zu...\tStrg+G"},
    };
    for (const auto& [id, text] : entries) {
        if (text == nullptr) {
            m_contextMenu->addSeparator();
            continue;
        }
        QAction* act = m_contextMenu->addAction(QString::fromUtf8(text));
        m_contextActions[id] = act;
        if (id == kDeleteCommand) {
            connect(act, &QAction::triggered, this, [this] { m_edit->textCursor().removeSelectedText(); });
        } else {
            QAction* command = m_actions.at(id);
            connect(act, &QAction::triggered, command, &QAction::trigger);
        }
    }
    m_edit->setContextMenu(m_contextMenu);
}

QAction* ViewerPage::action(FrameCommand id) const
{
    auto it = m_actions.find(static_cast<int>(id));
    return it == m_actions.end() ? nullptr : it->second;
}

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
        {F::FindNext, loaded && m_findDone},
        {F::Undo, writable && m_edit->document()->isUndoAvailable()},
        {F::Cut, writable && selection},
        {F::Copy, loaded && selection},
        {F::SelectAll, loaded},
    };
    for (const auto& [id, enabled] : states) {
        action(id)->setEnabled(enabled);
        auto it = m_contextActions.find(static_cast<int>(id));
        if (it != m_contextActions.end()) it->second->setEnabled(enabled);
    }
    m_contextActions.at(kDeleteCommand)->setEnabled(writable && selection);
}

bool ViewerPage::wordWrap() const { return m_edit->lineWrapMode() != QPlainTextEdit::NoWrap; }

const QString& ViewerPage::text() const
{
    if (!m_textValid) {
        m_text = m_edit->document()->toRawText();
        toFinderLineEnds(m_text);
        m_textValid = true;
    }
    return m_text;
}

// The editor separates its lines by U+2029 (and U+2028 where lines were
// joined); the finder and the file want '\n'.
void ViewerPage::toFinderLineEnds(QString& text) const
{
    const char16_t joined = m_joinedLines ? char16_t(QChar::LineSeparator) : char16_t(QChar::ParagraphSeparator);
    auto* c = reinterpret_cast<char16_t*>(text.data());
    for (auto* end = c + text.size(); c != end; ++c) {
        if (*c == QChar::ParagraphSeparator || *c == joined) *c = u'\n';
    }
}

// Keeps the finder's copy in step with an edit, so that the first find after
// typing a character does not copy a large file out of the editor again. The
// editor may report a change one character wider than it was (at the end of
// the text); whatever does not add up drops the copy instead.
void ViewerPage::followEdit(int from, int removed, int added)
{
    QTextDocument* doc = m_edit->document();
    const qsizetype length = doc->characterCount() - 1;  // without the editor's closing separator
    if (from < 0 || removed < 0 || added < 0 || from + qsizetype(removed) > m_text.size() || from + qsizetype(added) > length ||
        m_text.size() - removed + added != length) {
        m_textValid = false;
        return;
    }
    QTextCursor range(doc);
    range.setPosition(from);
    range.setPosition(from + added, QTextCursor::KeepAnchor);
    QString inserted = range.selectedText();
    if (inserted.size() != added) {
        m_textValid = false;
        return;
    }
    toFinderLineEnds(inserted);
    m_text.replace(from, removed, inserted);
}

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
    // A file with a U+2028 of its own keeps one block per line, so that its
    // U+2028 stays a character.
    m_joinedLines = text.text.count(QLatin1Char('\n')) > m_joinThreshold && !text.text.contains(QChar::LineSeparator);
    m_edit->setLinesJoined(m_joinedLines);
    if (m_joinedLines) {
        m_edit->setPlainText(JoinLines(text.text, kLinesPerBlock));
        countLineSeparators(0, m_edit->document()->characterCount());
    } else {
        m_edit->setPlainText(text.text);
    }
    // The editor holds exactly this text now (ViewerCodec keeps out what it
    // would change), so the copy for finding is ready at no cost.
    m_text = std::move(text.text);
    m_textValid = true;
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

void ViewerPage::select(qsizetype start, qsizetype end)
{
    QTextCursor cursor = m_edit->textCursor();
    cursor.setPosition(static_cast<int>(start));
    cursor.setPosition(static_cast<int>(end), QTextCursor::KeepAnchor);
    m_edit->setTextCursor(cursor);
    m_edit->ensureCursorVisible();
}

// Each block remembers how many joined line ends it holds.
void ViewerPage::countLineSeparators(int from, int to)
{
    QTextDocument* doc = m_edit->document();
    const QTextBlock last = doc->findBlock(to);
    for (QTextBlock block = doc->findBlock(from); block.isValid(); block = block.next()) {
        block.setUserState(static_cast<int>(block.text().count(QChar::LineSeparator)));
        if (block == last) break;
    }
}

std::pair<int, int> ViewerPage::lineAndColumnOf(int position) const
{
    QTextDocument* doc = m_edit->document();
    const QTextBlock block = doc->findBlock(position);
    if (!block.isValid()) return {0, 0};
    const int column = position - block.position();
    if (!m_joinedLines) return {block.blockNumber(), column};
    int line = 0;
    for (QTextBlock before = doc->begin(); before.isValid() && before != block; before = before.next())
        line += SeparatorsOf(before) + 1;
    const QString text = block.text();
    int lineStart = 0;
    for (int i = 0; i < column && i < text.size(); ++i) {
        if (text[i] == QChar::LineSeparator) {
            ++line;
            lineStart = i + 1;
        }
    }
    return {line, column - lineStart};
}

void ViewerPage::reportCaret()
{
    const auto [line, column] = lineAndColumnOf(m_edit->textCursor().selectionStart());
    emit caretMoved(line, column);
    updateEnabling();
}

// --- find and replace -------------------------------------------------------

void ViewerPage::showFindDialog(bool replace)
{
    ViewerFindOptions options = m_findDefaults ? m_findDefaults() : m_finder.options();
    options.down = m_lastDown;
    if (!m_findDialog) {
        m_findDialog = new ViewerFindDialog(this);
        m_findDialog->setAttribute(Qt::WA_DeleteOnClose);
        connect(m_findDialog, &ViewerFindDialog::findNextRequested, this, [this] { findNext(); });
        connect(m_findDialog, &ViewerFindDialog::replaceRequested, this, [this] { replaceOnce(); });
        connect(m_findDialog, &ViewerFindDialog::replaceAllRequested, this, [this] { replaceAll(); });
    } else if (!replace) {
        options.replaceText = m_findDialog->replaceField()->text();
    }
    m_findDialog->setOptions(options, replace);
    m_findDialog->show();
    m_findDialog->raise();
    m_findDialog->activateWindow();
    m_findDialog->findField()->setFocus();
    m_findDialog->findField()->selectAll();
}

void ViewerPage::findNext()
{
    ViewerFindOptions options = m_findDialog ? m_findDialog->options() : m_finder.options();
    m_finder.setOptions(options);
    m_lastDown = options.down;
    if (options.findText.isEmpty()) {
        m_prompts.showInformation({}, viewertext::NoFindText());
        return;
    }
    m_findDone = true;
    const QTextCursor cursor = m_edit->textCursor();
    const FindResult result = m_finder.find(text(), cursor.selectionStart(), cursor.selectionEnd());
    switch (result.status) {
    case FindStatus::Found: select(result.start, result.end); break;
    case FindStatus::NotFound: showNotFound(options); break;
    case FindStatus::BadExpression: m_prompts.showExclamation(result.message); break;
    case FindStatus::NoFindText: m_prompts.showInformation({}, viewertext::NoFindText()); break;
    }
    updateEnabling();
}

void ViewerPage::showNotFound(const ViewerFindOptions& options)
{
    // The message must not leave the focus in the message's place.
    QPointer<QWidget> focus = QApplication::focusWidget();
    if (options.regularExpression) {
        m_prompts.beep();
        m_prompts.showInformation(viewertext::RegexNotFoundTitle(), viewertext::RegexNotFound().arg(options.findText));
    } else {
        m_prompts.showInformation({}, viewertext::NotFound().arg(options.findText));
    }
    if (focus) {
        focus->activateWindow();
        focus->setFocus();
    }
}

void ViewerPage::replaceOnce()
{
    // The replace buttons edit through the document, past the editor's own guard.
    if (m_readOnly != ReadOnlyReason::None) {
        m_prompts.showInformation({}, viewertext::ReadOnlyNote(m_readOnly));
        return;
    }
    ViewerFindOptions options = m_findDialog ? m_findDialog->options() : m_finder.options();
    m_finder.setOptions(options);
    if (options.findText.isEmpty()) {
        m_prompts.showInformation({}, viewertext::NoFindText());
        return;
    }
    if (options.regularExpression) {
        if (auto error = m_finder.expressionError()) {
            m_prompts.showExclamation(*error);
            return;
        }
    }
    QTextCursor cursor = m_edit->textCursor();
    if (auto replacement = m_finder.replacement(text(), cursor.selectionStart(), cursor.selectionEnd())) {
        cursor.insertText(*replacement);
        m_edit->setTextCursor(cursor);
    }
    findNext();
}

void ViewerPage::replaceAll()
{
    if (m_readOnly != ReadOnlyReason::None) {
        m_prompts.showInformation({}, viewertext::ReadOnlyNote(m_readOnly));
        return;
    }
    ViewerFindOptions options = m_findDialog ? m_findDialog->options() : m_finder.options();
    m_finder.setOptions(options);
    QString error;
    const std::optional<QString> replaced = m_finder.replaceAll(text(), &error);
    if (!error.isEmpty()) {
        m_prompts.showExclamation(error);
        return;
    }
    if (!replaced) return;
    // One edit, so that one undo restores the text.
    QTextCursor cursor(m_edit->document());
    cursor.beginEditBlock();
    cursor.select(QTextCursor::Document);
    cursor.insertText(m_joinedLines ? JoinLines(*replaced, kLinesPerBlock) : *replaced);
    cursor.endEditBlock();
}

// --- go to, wrap, font ------------------------------------------------------

void ViewerPage::askGoTo()
{
    ViewerGoToDialog dialog(this);
    if (dialog.exec() == QDialog::Accepted) goTo(dialog.line(), dialog.column());
}

void ViewerPage::goTo(int line, int column)
{
    QTextDocument* doc = m_edit->document();
    qint64 lineStart = 0;
    if (!m_joinedLines) {
        QTextBlock block = doc->findBlockByNumber(std::max(line, 1) - 1);
        if (!block.isValid()) block = doc->lastBlock();
        lineStart = block.position();
    } else {
        // Lines beyond the end go to the last one.
        int rest = std::max(line, 1) - 1;
        QTextBlock block = doc->begin();
        while (block.next().isValid() && rest > SeparatorsOf(block)) {
            rest -= SeparatorsOf(block) + 1;
            block = block.next();
        }
        const QString text = block.text();
        int at = 0;
        for (int i = 0; i < text.size() && rest > 0; ++i) {
            if (text[i] == QChar::LineSeparator) {
                --rest;
                at = i + 1;
            }
        }
        lineStart = block.position() + at;
    }
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
