#pragma once
// Find, replace and replace all in the viewer's text: plain text with the
// viewer's own word characters, or a regular expression (Boost.Regex over the
// Unicode text, case-insensitive unless case matters).
//
// Works on a copy of the editor's text ('\n' between lines); positions are
// UTF-16 indexes into it, as the editor counts characters. Holds the options,
// the compiled expression and the last match. UI thread only.
#include <QString>
#include <memory>
#include <optional>
#include <string>

namespace tarnwick::ui {

struct ViewerFindOptions {
    QString findText;
    QString replaceText;
    bool matchCase = false;
    bool regularExpression = false;
    bool down = true;  // plain text only: an expression always searches downwards
    bool wholeWord = false;
    // From the search form, not shown in the dialog: with an expression, the
    // replacement is made as a run makes it ("Rückverweise im
    // Ersetzungstext", escapes first with "Sonderzeichen interpretieren").
    bool captures = false;
    bool specialCharacters = false;
    // Also from the form: each replacement takes its hit's case ("Schreibweise
    // der Treffer übernehmen"), plain text and expressions alike.
    bool preserveCase = false;

    bool operator==(const ViewerFindOptions&) const = default;
};

enum class FindStatus {
    Found,
    NotFound,  // not even after searching the whole text once more
    BadExpression,  // `message` holds the library's text
    NoFindText,
};

struct FindResult {
    FindStatus status = FindStatus::NotFound;
    qsizetype start = 0;
    qsizetype end = 0;
    QString message;
};

// Word characters of a whole-word find: a-z, A-Z, 0-9 and ç ü è ö é ä à.
bool IsViewerWordChar(char16_t c);

class ViewerFinder {
public:
    ViewerFinder();
    ~ViewerFinder();
    ViewerFinder(const ViewerFinder&) = delete;
    ViewerFinder& operator=(const ViewerFinder&) = delete;

    void setOptions(const ViewerFindOptions& options);
    const ViewerFindOptions& options() const { return m_options; }

    // The next match after the selection [selStart, selEnd) (plain text upwards:
    // before it); when there is none, the first one of the whole text (plain
    // text upwards: the last one). An expression's match is kept for replace().
    FindResult find(const QString& text, qsizetype selStart, qsizetype selEnd);

    // What replaces the selection, or nothing when nothing is to be replaced:
    // plain text replaces a non-empty selection by the replacement text; an
    // expression replaces the match find() selected last (the selection must
    // still be that match in the same text) by the replacement formatted with
    // its groups.
    std::optional<QString> replacement(const QString& text, qsizetype selStart, qsizetype selEnd);

    // The whole text with every match replaced, or nothing when there is no
    // match (or the expression does not compile: then `error` gets the text).
    std::optional<QString> replaceAll(const QString& text, QString* error = nullptr);

    // Checks the expression, and with `captures` the replacement against
    // its groups; the library's text, or the run's message, when it fails.
    std::optional<QString> expressionError();

private:
    struct Regex;
    struct RunFormat;
    bool compile(QString* error);
    bool usesRunFormat() const { return m_options.regularExpression && m_options.captures; }
    // The replacement as the run prepares it, for the current options.
    const RunFormat& runFormat();
    FindResult findPlain(const QString& text, qsizetype selStart, qsizetype selEnd) const;
    FindResult findRegex(const QString& text, qsizetype from, bool skipEmptyAtStart);
    std::u16string replaceMatchesInHitCase(const char16_t* begin, const char16_t* end);

    ViewerFindOptions m_options;
    std::unique_ptr<Regex> m_regex;
    std::unique_ptr<RunFormat> m_runFormat;
};

// Plain-text search of `find` in `text` downwards from `from` (a candidate
// starting at or after it) or upwards (a candidate ending at or before it).
// -1 when there is none.
qsizetype FindPlainDown(const QString& text, const QString& find, qsizetype from, bool matchCase, bool wholeWord);
qsizetype FindPlainUp(const QString& text, const QString& find, qsizetype before, bool matchCase, bool wholeWord);

}  // namespace tarnwick::ui
