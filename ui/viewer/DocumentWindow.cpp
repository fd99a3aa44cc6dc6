#include "ui/viewer/DocumentWindow.h"

#include <QFile>
#include <QLabel>
#include <QPalette>
#include <QPlainTextEdit>
#include <QStatusBar>
#include <QTextCursor>
#include <QTextDocument>

#include <filesystem>

#include "ui/common/EngineText.h"

namespace tarnwick::ui {

QString DisplayedDocumentText(const std::u16string& text)
{
    QString shown(static_cast<qsizetype>(text.size()), Qt::Uninitialized);
    for (std::size_t i = 0; i < text.size(); ++i) {
        char16_t c = text[i];
        switch (c) {
        case 9: break;
        case 13:  // paragraph mark
        case 12:  // page or section break
        case 14:  // column break
            c = u'\n';
            break;
        case 11: c = QChar::LineSeparator; break;
        case 30: c = u'\u2011'; break;  // non-breaking hyphen
        case 31: c = u'\u00AD'; break;  // optional hyphen
        case 1:  // inline picture or object
        case 8:  // floating drawing
            c = u'\uFFFC';
            break;
        case 2: c = u'*'; break;  // footnote reference
        default:
            if (c < 0x20) c = u' ';  // cell marks and other anchors
            break;
        }
        shown[static_cast<qsizetype>(i)] = QChar(c);
    }
    return shown;
}

QString DocumentWindowTitle(const std::string& fullName, const std::string& part)
{
    const std::string name = std::filesystem::path(fullName).filename().string();
    QString title = fromPath(name.empty() ? fullName : name);
    if (!part.empty()) title += QStringLiteral(" (%1)").arg(QString::fromStdString(part));
    return title + QStringLiteral(" - Tarnwick");
}

DocumentWindow::DocumentWindow(QWidget* parent) : QMainWindow(parent)
{
    setObjectName(QStringLiteral("DocumentWindow"));
    // The main window alone decides when the program ends.
    setAttribute(Qt::WA_QuitOnClose, false);
    m_text = new QPlainTextEdit(this);
    m_text->setObjectName(QStringLiteral("documentText"));
    m_text->setReadOnly(true);
    m_text->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    m_text->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    m_text->document()->setDocumentMargin(14);
    // The hit stays as visible as when the window has the focus.
    QPalette palette = m_text->palette();
    palette.setColor(QPalette::Inactive, QPalette::Highlight, palette.color(QPalette::Active, QPalette::Highlight));
    palette.setColor(QPalette::Inactive, QPalette::HighlightedText, palette.color(QPalette::Active, QPalette::HighlightedText));
    m_text->setPalette(palette);
    setCentralWidget(m_text);
    m_pathLabel = new QLabel(this);
    statusBar()->addWidget(m_pathLabel, 1);
    statusBar()->addPermanentWidget(new QLabel(QStringLiteral("Nur zum Lesen geöffnet"), this));
    resize(760, 560);
}

void DocumentWindow::showDocument(const ShownDocument& document)
{
    // The same text again keeps the scroll position for the next hit.
    if (document.fullName != m_fullName || document.part != m_part || document.text != m_shownText) {
        m_fullName = document.fullName;
        m_part = document.part;
        m_shownText = document.text;
        m_text->setPlainText(DisplayedDocumentText(m_shownText));
        setWindowTitle(DocumentWindowTitle(m_fullName, m_part));
        m_pathLabel->setText(fromPath(m_fullName));
    }
    QTextCursor cursor = m_text->textCursor();
    cursor.setPosition(static_cast<int>(document.selectionStart));
    cursor.setPosition(static_cast<int>(document.selectionEnd), QTextCursor::KeepAnchor);
    m_text->setTextCursor(cursor);
    show();
    if (isMinimized()) showNormal();
    m_text->centerCursor();
    raise();
    activateWindow();
}

void DocumentWindow::hideDocument()
{
    hide();
    m_fullName.clear();
    m_part.clear();
    m_shownText.clear();
    m_text->clear();
}

}  // namespace tarnwick::ui
