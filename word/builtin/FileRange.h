#pragma once
// A range of one story of a document and its find object, for the built-in
// component. A range's positions are kept within the story and move with
// edits made through any range or the selection of the same document. Lives
// until its document is closed; not thread-safe.
#include <cstdint>
#include <optional>
#include <string>

#include "word/automation/Automation.h"
#include "word/story/StoryExpression.h"
#include "word/story/StoryText.h"

namespace tarnwick::word {

class FileDocument;
class FileRange;

// Find on a range, in the manner of the automation interface: the first
// execution searches the range (a collapsed range: from it to the end of the
// story); while the range still covers the previous hit (or the text that
// replaced it), the next execution goes on behind it, to the end of what the
// first one searched. A regular expression is compiled once for as long as
// the text and case stay the same. Refuses (ServerError kErrorUnsupported) wildcards,
// sounds-like, word forms, backward search, wrapping and replace-all.
class FileFind : public Find {
public:
    explicit FileFind(FileRange& range) : m_range(range) {}
    void ClearFormatting() override {}
    bool Execute(const FindArguments& arguments) override;

    // Moves the remembered hit and scope with an edit of [start, end) that
    // now ends at `newEnd`.
    void shift(std::int64_t start, std::int64_t end, std::int64_t newEnd);

private:
    // The span of the next hit in [from, to); a replacement format filled in
    // from it goes to m_formatted.
    std::optional<StorySpan> findNext(const FindArguments& arguments, std::int64_t from, std::int64_t to);

    FileRange& m_range;
    std::optional<StoryExpression> m_expression;
    std::u16string m_formatted;
    bool m_hasHit = false;
    std::int64_t m_hitStart = 0;
    std::int64_t m_hitEnd = 0;
    bool m_scopeToStoryEnd = true;
    std::int64_t m_scopeEnd = 0;
};

class FileRange : public Range {
public:
    FileRange(FileDocument& document, StoryId story, std::int64_t start, std::int64_t end);

    Find& GetFind() override { return m_find; }
    std::int64_t Start() const override { return m_start; }
    std::int64_t End() const override { return m_end; }
    // Positions are clamped to the story; a start beyond the end moves the
    // end along, an end before the start moves the start.
    void SetStart(std::int64_t position) override;
    void SetEnd(std::int64_t position) override;
    std::u16string Text() const override;
    // Replaces the range's text through its document; the range then covers it.
    void SetText(const std::u16string& text) override;
    // The document's selection becomes this range, in its story.
    void Select() override;

    FileDocument& document() const { return m_document; }
    StoryId story() const { return m_story; }
    const StoryText& storyText() const;
    void set(std::int64_t start, std::int64_t end);
    void shift(std::int64_t start, std::int64_t end, std::int64_t newEnd);

private:
    FileDocument& m_document;
    StoryId m_story;
    std::int64_t m_start;
    std::int64_t m_end;
    FileFind m_find;
};

// Where a position lands after [start, end) became [start, newEnd): before
// the edit it stays, behind it it moves by the change in length, inside it
// it goes to the edit's start.
std::int64_t ShiftedPosition(std::int64_t position, std::int64_t start, std::int64_t end, std::int64_t newEnd);

}  // namespace tarnwick::word
