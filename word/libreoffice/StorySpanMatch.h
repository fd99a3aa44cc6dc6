#pragma once
// Finds a hit of one model of a document in another model of the same
// document. The engine reads .docx, .odt, .rtf and text with its built-in
// component, whose positions count what LibreOffice's text does not show
// (field codes, hidden text, anchors); LibreOffice's own reading of the
// file places the same text elsewhere.
#include <cstdint>
#include <optional>

#include "word/story/StoryText.h"
#include "word/story/TextFind.h"

namespace tarnwick::word {

// The span of `to` that shows the hit [start, end) of `from`: the same
// positions when `to` reads the hit's text there, else the hit's text at its
// occurrence of the same rank (the k-th occurrence of `from`'s visible text
// is taken to be the k-th of `to`'s). Nothing when `to` has fewer
// occurrences or the span lies outside `from`.
std::optional<StorySpan> MatchStorySpan(const StoryText& from, const StoryText& to, std::int64_t start, std::int64_t end);

}  // namespace tarnwick::word
