#pragma once
// The window of the built-in word processor: the text of the active
// document's main text or of the part the hit lies in (a header, a note,
// ...), read-only, with the hit selected and scrolled into view. It appears
// when the search form's word-processor connection shows a document and
// goes when that connection quits. Closing it only hides it; the document
// stays open for the next hit. User interface thread only.
#include <QMainWindow>
#include <QString>

#include <string>

#include "ui/viewer/ViewerWordConnection.h"

class QLabel;
class QPlainTextEdit;

namespace tarnwick::ui {

// The document text as a plain-text widget can show it, one character for
// each character of the text, so that positions carry over: paragraph
// marks, line, page and column breaks become line ends, cell marks tabs,
// and the other control characters blanks or their visible forms.
QString DisplayedDocumentText(const std::u16string& text);

// "<file name> - Tarnwick", or "<file name> (<part>) - Tarnwick" when a
// part other than the main text is shown.
QString DocumentWindowTitle(const std::string& fullName, const std::string& part = {});

class DocumentWindow : public QMainWindow, public DocumentDisplay {
    Q_OBJECT

public:
    explicit DocumentWindow(QWidget* parent = nullptr);

    // DocumentDisplay
    void showDocument(const ShownDocument& document) override;
    void hideDocument() override;

    QPlainTextEdit* textView() const { return m_text; }
    const std::string& fullName() const { return m_fullName; }

private:
    QPlainTextEdit* m_text = nullptr;
    QLabel* m_pathLabel = nullptr;
    std::string m_fullName;
    std::string m_part;
    std::u16string m_shownText;
};

}  // namespace tarnwick::ui
