#include "ui/viewer/ViewerLineText.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <algorithm>

#include "ui/viewer/ViewerEdit.h"

namespace tarnwick::ui {
namespace {

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

}  // namespace

void ViewerLineText::show(QString text)
{
    // A file with a U+2028 of its own keeps one block per line, so that its
    // U+2028 stays a character.
    m_joinedLines = text.count(QLatin1Char('\n')) > m_joinThreshold && !text.contains(QChar::LineSeparator);
    m_edit.setLinesJoined(m_joinedLines);
    if (m_joinedLines) {
        m_edit.setPlainText(JoinLines(text, kLinesPerBlock));
        countLineSeparators(0, m_edit.document()->characterCount());
    } else {
        m_edit.setPlainText(text);
    }
    // The editor holds exactly this text now (ViewerCodec keeps out what it
    // would change), so the copy for finding is ready at no cost.
    m_text = std::move(text);
    m_textValid = true;
}

const QString& ViewerLineText::text() const
{
    if (!m_textValid) {
        m_text = m_edit.document()->toRawText();
        toFinderLineEnds(m_text);
        m_textValid = true;
    }
    return m_text;
}

QString ViewerLineText::forEditor(const QString& text) const { return m_joinedLines ? JoinLines(text, kLinesPerBlock) : text; }

void ViewerLineText::followChange(int from, int removed, int added)
{
    if (m_textValid) followEdit(from, removed, added);
    if (m_joinedLines) countLineSeparators(from, from + added);
}

// The editor separates its lines by U+2029 (and U+2028 where lines were
// joined); the finder and the file want '\n'.
void ViewerLineText::toFinderLineEnds(QString& text) const
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
void ViewerLineText::followEdit(int from, int removed, int added)
{
    QTextDocument* doc = m_edit.document();
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

// Each block remembers how many joined line ends it holds.
void ViewerLineText::countLineSeparators(int from, int to)
{
    QTextDocument* doc = m_edit.document();
    const QTextBlock last = doc->findBlock(to);
    for (QTextBlock block = doc->findBlock(from); block.isValid(); block = block.next()) {
        block.setUserState(static_cast<int>(block.text().count(QChar::LineSeparator)));
        if (block == last) break;
    }
}

std::pair<int, int> ViewerLineText::lineAndColumnOf(int position) const
{
    QTextDocument* doc = m_edit.document();
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

qint64 ViewerLineText::lineStart(int line) const
{
    QTextDocument* doc = m_edit.document();
    if (!m_joinedLines) {
        QTextBlock block = doc->findBlockByNumber(std::max(line, 1) - 1);
        if (!block.isValid()) block = doc->lastBlock();
        return block.position();
    }
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
    return block.position() + at;
}

}  // namespace tarnwick::ui
