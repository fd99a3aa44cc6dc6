#pragma once
// The rules every format's replace() shares: which replacement characters
// can be written, which story spans may be edited, and a check that the
// rebuilt story reads exactly as the edit intended (so that a fault in a
// writer surfaces as a refusal, never as a silently wrong document).
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "word/story/StoryText.h"

namespace tarnwick::word {

// Refuses (kErrorRefusedText) a paragraph mark (\r, documents are not split
// into paragraphs here) and any character XML cannot hold. Tab (\t) and line
// break (\v or \n) are written as their elements.
void CheckReplacementText(std::u16string_view text);

// Refuses (kErrorRefusedSpan) a span outside the story or splitting a
// surrogate pair, one that contains a
// paragraph, cell, row or section mark, a field character or code, a field
// result, a tracked deletion, hidden text or an object or note anchor.
void CheckEditableSpan(const StoryText& story, std::int64_t start, std::int64_t end);

// True for a unit a replacement may remove or write next to.
bool IsEditableUnit(const Unit& unit);

// True when `position` is the first unit of a paragraph.
bool IsParagraphStart(const StoryText& story, std::int64_t position);

// Refuses (kErrorRefusedSpan) when `after` does not read as `before` with
// [start, end) replaced by `text` (the values of all units compared).
void VerifyReplacement(const StoryText& before, const StoryText& after, std::int64_t start, std::int64_t end,
                       std::u16string_view text);

// The units of the paragraph an edit of [start, end) lies in: from the
// first unit after the previous mark to its own mark (paragraph, section,
// cell or row mark), inclusive.
struct ParagraphSpan {
    std::int64_t first = 0;
    std::int64_t mark = 0;
};

// The paragraph around [start, end), which CheckEditableSpan accepted;
// none when no mark follows it.
std::optional<ParagraphSpan> ParagraphAround(const StoryText& story, std::int64_t start, std::int64_t end);

// True when `part`, the paragraph read again after the edit, reads as the
// story's `paragraph` with [start, end) replaced by `text`: every other
// unit with the same value, kind and flags, the new text as plain text.
bool ReadsAsReplaced(const StoryText& story, const ParagraphSpan& paragraph, const StoryText& part, std::int64_t start,
                     std::int64_t end, std::u16string_view text);

}  // namespace tarnwick::word
