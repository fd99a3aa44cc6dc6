#include "ui/viewer/ViewerFindCommands.h"

#include <QApplication>
#include <QLineEdit>
#include <QTextCursor>
#include <QTextDocument>

#include "ui/viewer/ViewerEdit.h"
#include "ui/viewer/ViewerLineText.h"
#include "ui/viewer/ViewerPrompts.h"
#include "ui/viewer/ViewerTexts.h"

namespace tarnwick::ui {

ViewerFindCommands::ViewerFindCommands(QWidget& page, ViewerEdit& edit, const ViewerLineText& lines, ViewerPrompts& prompts,
                                       const ReadOnlyReason& readOnly, std::function<void()> onFound)
    : m_page(page), m_edit(edit), m_lines(lines), m_prompts(prompts), m_readOnly(readOnly), m_onFound(std::move(onFound))
{
}

ViewerFindCommands::~ViewerFindCommands()
{
    if (m_dialog) delete m_dialog.data();
}

ViewerFindOptions ViewerFindCommands::currentOptions() const { return m_dialog ? m_dialog->options() : m_finder.options(); }

void ViewerFindCommands::showDialog(bool replace)
{
    ViewerFindOptions options = m_defaults ? m_defaults() : m_finder.options();
    options.down = m_lastDown;
    if (!m_dialog) {
        m_dialog = new ViewerFindDialog(&m_page);
        m_dialog->setAttribute(Qt::WA_DeleteOnClose);
        QObject::connect(m_dialog, &ViewerFindDialog::findNextRequested, &m_page, [this] { findNext(); });
        QObject::connect(m_dialog, &ViewerFindDialog::replaceRequested, &m_page, [this] { replaceOnce(); });
        QObject::connect(m_dialog, &ViewerFindDialog::replaceAllRequested, &m_page, [this] { replaceAll(); });
    } else if (!replace) {
        options.replaceText = m_dialog->replaceField()->text();
    }
    m_dialog->setOptions(options, replace);
    m_dialog->show();
    m_dialog->raise();
    m_dialog->activateWindow();
    m_dialog->findField()->setFocus();
    m_dialog->findField()->selectAll();
}

void ViewerFindCommands::findNext()
{
    ViewerFindOptions options = currentOptions();
    m_finder.setOptions(options);
    m_lastDown = options.down;
    if (options.findText.isEmpty()) {
        m_prompts.showInformation({}, viewertext::NoFindText());
        return;
    }
    m_findDone = true;
    const QTextCursor cursor = m_edit.textCursor();
    const FindResult result = m_finder.find(m_lines.text(), cursor.selectionStart(), cursor.selectionEnd());
    switch (result.status) {
    case FindStatus::Found: m_edit.selectRange(result.start, result.end); break;
    case FindStatus::NotFound: showNotFound(options); break;
    case FindStatus::BadExpression: m_prompts.showExclamation(result.message); break;
    case FindStatus::NoFindText: m_prompts.showInformation({}, viewertext::NoFindText()); break;
    }
    m_onFound();
}

void ViewerFindCommands::showNotFound(const ViewerFindOptions& options)
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

// The replace buttons edit through the document, past the editor's own guard.
bool ViewerFindCommands::refuseReadOnly()
{
    if (m_readOnly == ReadOnlyReason::None) return false;
    m_prompts.showInformation({}, viewertext::ReadOnlyNote(m_readOnly));
    return true;
}

void ViewerFindCommands::replaceOnce()
{
    if (refuseReadOnly()) return;
    ViewerFindOptions options = currentOptions();
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
    QTextCursor cursor = m_edit.textCursor();
    if (auto replacement = m_finder.replacement(m_lines.text(), cursor.selectionStart(), cursor.selectionEnd())) {
        cursor.insertText(*replacement);
        m_edit.setTextCursor(cursor);
    }
    findNext();
}

void ViewerFindCommands::replaceAll()
{
    if (refuseReadOnly()) return;
    m_finder.setOptions(currentOptions());
    QString error;
    const std::optional<QString> replaced = m_finder.replaceAll(m_lines.text(), &error);
    if (!error.isEmpty()) {
        m_prompts.showExclamation(error);
        return;
    }
    if (!replaced) return;
    // One edit, so that one undo restores the text.
    QTextCursor cursor(m_edit.document());
    cursor.beginEditBlock();
    cursor.select(QTextCursor::Document);
    cursor.insertText(m_lines.forEditor(*replaced));
    cursor.endEditBlock();
}

}  // namespace tarnwick::ui
