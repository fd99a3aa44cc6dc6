#pragma once
// Replaces a span of a WordprocessingML main story in the XML: the first
// w:t the span touches receives the text before the span, the replacement
// and (if the span ends in it) the text after it; later w:t elements lose
// their part of the span and go when empty; tabs, breaks and symbols inside
// the span go. Only the runs the span touches change, so every other run
// keeps its formatting and every bookmark, comment marker and proofing mark
// stays. Tabs and line breaks in the replacement become w:tab and w:br.
#include <cstdint>
#include <string_view>
#include <vector>

#include <pugixml.hpp>

#include "word/story/StoryText.h"

namespace tarnwick::word {

// `story` and `nodes` come from ReadDocxStory over the same part. The span
// and text must have passed CheckEditableSpan and CheckReplacementText.
// Refuses (kErrorRefusedSpan) a span whose runs lie in different wrappers
// (a hyperlink, a content control, a tracked insertion), and an insertion
// where no run is there to write into.
void ReplaceInDocx(const StoryText& story, const std::vector<pugi::xml_node>& nodes, std::int64_t start, std::int64_t end,
                   std::u16string_view text);

}  // namespace tarnwick::word
