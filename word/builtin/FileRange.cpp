#include "word/builtin/FileRange.h"

#include "word/automation/WordErrors.h"
#include "word/builtin/FileDocument.h"
#include "word/story/HitCase.h"
#include "word/story/TextFind.h"

#include <algorithm>

namespace tarnwick::word {
namespace {

void refuseUnsupported(const FindArguments& a)
{
    const char* what = nullptr;
    if (a.matchWildcards)
        what = "Platzhalter";
    else if (a.matchSoundsLike)
        what = "Ähnliche Schreibweise";
    else if (a.matchAllWordForms)
        what = "Alle Wortformen";
    else if (!a.forward)
        what = "Rückwärtssuche";
    else if (a.wrap != FindWrap::Stop)
        what = "Weitersuchen am Anfang";
    else if (a.replace != FindReplace::None && a.replace != FindReplace::One)
        what = "Alle ersetzen";
    if (what) Refuse(kErrorUnsupported, std::string("Die Suchoption wird nicht unterstützt: ") + what + ".");
}

// The replacement is filled in from each match.
bool formats(const FindArguments& a) { return a.replaceIsFormat && a.matchRegularExpression && a.replace == FindReplace::One; }

}  // namespace

std::int64_t ShiftedPosition(std::int64_t position, std::int64_t start, std::int64_t end, std::int64_t newEnd)
{
    if (position <= start) return position;
    if (position >= end) return position + (newEnd - end);
    return start;
}

bool FileFind::Execute(const FindArguments& arguments)
{
    refuseUnsupported(arguments);
    FileDocument& document = m_range.document();
    std::int64_t from = m_range.Start();
    if (m_hasHit && m_range.Start() == m_hitStart && m_range.End() == m_hitEnd) {
        from = m_hitEnd;
    } else if (m_range.Start() == m_range.End()) {
        m_scopeToStoryEnd = true;
    } else {
        m_scopeToStoryEnd = false;
        m_scopeEnd = m_range.End();
    }
    const StoryText& story = m_range.storyText();
    const std::int64_t size = story.size();
    const std::int64_t to = m_scopeToStoryEnd ? size : std::min(m_scopeEnd, size);
    const std::optional<StorySpan> hit = findNext(arguments, from, to);
    if (!hit) return false;

    std::int64_t end = hit->end;
    if (arguments.replace == FindReplace::One) {
        std::u16string replacement = arguments.replaceWith;
        if (formats(arguments))
            replacement = std::move(m_formatted);
        else if (!arguments.matchCase && !arguments.preserveCase)
            replacement = AdaptReplacementCase(story.textOf(hit->start, hit->end), replacement);
        if (arguments.preserveCase) {
            std::u16string cased;
            AppendHitCaseUtf16(story.textOf(hit->start, hit->end), replacement, cased);
            replacement = std::move(cased);
        }
        end = document.replace(m_range.story(), hit->start, hit->end, replacement);
    }
    m_range.set(hit->start, end);
    m_hasHit = true;
    m_hitStart = hit->start;
    m_hitEnd = end;
    return true;
}

std::optional<StorySpan> FileFind::findNext(const FindArguments& arguments, std::int64_t from, std::int64_t to)
{
    const StoryText& story = m_range.storyText();
    if (!arguments.matchRegularExpression) {
        const FindOptions options{arguments.matchCase, arguments.matchWholeWord};
        return FindInStory(story, arguments.findText, options, from, to);
    }
    if (!m_expression || m_expression->pattern() != arguments.findText || m_expression->matchCase() != arguments.matchCase)
        m_expression.emplace(arguments.findText, arguments.matchCase);
    std::optional<StoryMatch> match =
        FindExpressionInStory(story, *m_expression, from, to, formats(arguments) ? &arguments.replaceWith : nullptr);
    if (!match) return std::nullopt;
    m_formatted = std::move(match->replacement);
    return match->span;
}

void FileFind::shift(std::int64_t start, std::int64_t end, std::int64_t newEnd)
{
    m_hitStart = ShiftedPosition(m_hitStart, start, end, newEnd);
    m_hitEnd = ShiftedPosition(m_hitEnd, start, end, newEnd);
    m_scopeEnd = ShiftedPosition(m_scopeEnd, start, end, newEnd);
}

FileRange::FileRange(FileDocument& document, StoryId story, std::int64_t start, std::int64_t end)
    : m_document(document), m_story(story), m_start(0), m_end(0), m_find(*this)
{
    set(start, end);
}

const StoryText& FileRange::storyText() const { return m_document.story(m_story); }

void FileRange::SetStart(std::int64_t position)
{
    const std::int64_t start = std::clamp<std::int64_t>(position, 0, storyText().size());
    set(start, std::max(start, m_end));
}

void FileRange::SetEnd(std::int64_t position)
{
    const std::int64_t end = std::clamp<std::int64_t>(position, 0, storyText().size());
    set(std::min(m_start, end), end);
}

std::u16string FileRange::Text() const { return storyText().textOf(m_start, m_end); }

void FileRange::SetText(const std::u16string& text)
{
    const std::int64_t start = m_start;
    const std::int64_t end = m_document.replace(m_story, start, m_end, text);
    set(start, end);
}

void FileRange::Select() { m_document.select(m_story, m_start, m_end); }

void FileRange::set(std::int64_t start, std::int64_t end)
{
    const std::int64_t size = storyText().size();
    m_start = std::clamp<std::int64_t>(start, 0, size);
    m_end = std::clamp<std::int64_t>(end, m_start, size);
}

void FileRange::shift(std::int64_t start, std::int64_t end, std::int64_t newEnd)
{
    set(ShiftedPosition(m_start, start, end, newEnd), ShiftedPosition(m_end, start, end, newEnd));
    m_find.shift(start, end, newEnd);
}

}  // namespace tarnwick::word
