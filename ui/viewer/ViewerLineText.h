#pragma once
// The viewer editor's text as the finder and the file see it: lines ended
// by '\n', and line and column positions. A large file is handed to the
// editor with several lines per block (see kDefaultJoinThreshold); this
// class keeps those joined lines apart for everyone else. UI thread only.
#include <QString>
#include <QtGlobal>
#include <utility>

namespace tarnwick::ui {

class ViewerEdit;

class ViewerLineText {
public:
    // A file of more lines than this is handed to the editor with
    // kLinesPerBlock lines per block, joined by U+2028: the editor's cost
    // grows with its blocks, and one block per line makes a 50 MB file take
    // seconds to load. Applies to the next file loaded.
    static constexpr qsizetype kDefaultJoinThreshold = 20'000;
    static constexpr int kLinesPerBlock = 64;

    // `edit` must outlive this object.
    explicit ViewerLineText(ViewerEdit& edit) : m_edit(edit) {}

    void setJoinThreshold(qsizetype lines) { m_joinThreshold = lines; }
    bool hasJoinedLines() const { return m_joinedLines; }

    // Puts a file's text (lines ended by '\n') into the editor.
    void show(QString text);
    // The editor's text with '\n' between lines; kept until the next edit.
    const QString& text() const;
    // `text` (lines ended by '\n') as the editor is to hold it in place of its own.
    QString forEditor(const QString& text) const;
    // The editor's document changed (its contentsChange).
    void followChange(int from, int removed, int added);

    // The 0-based line and column of a character position of the text.
    std::pair<int, int> lineAndColumnOf(int position) const;
    // The character position where the 1-based `line` starts; lines beyond
    // the end give the last one.
    qint64 lineStart(int line) const;

private:
    void countLineSeparators(int from, int to);
    void followEdit(int from, int removed, int added);
    void toFinderLineEnds(QString& text) const;

    ViewerEdit& m_edit;
    qsizetype m_joinThreshold = kDefaultJoinThreshold;
    bool m_joinedLines = false;  // the editor's U+2028 are line ends of the file
    mutable QString m_text;
    mutable bool m_textValid = false;
};

}  // namespace tarnwick::ui
