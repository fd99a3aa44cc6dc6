#pragma once
// The rules every format's replace() shares: which replacement characters
// can be written, which story spans may be edited, and a check that the
// rebuilt story reads exactly as the edit intended (so that a fault in a
// writer surfaces as a refusal, never as a silently wrong document).
#include <cstdint>
#include <string>
#include <string_view>

#include "word/StoryText.h"

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
// [start, end) replaced by `text`.
void VerifyReplacement(const StoryText& before, const StoryText& after, std::int64_t start, std::int64_t end,
                       std::u16string_view text);

}  // namespace tarnwick::word
