#pragma once
// Replaces a span of an OpenDocument text story in content.xml, with the
// same first-node technique as for WordprocessingML applied to character
// data: the first node the span touches receives the replacement, later
// nodes lose their part of the span, text:s/text:tab/text:line-break inside
// the span go (a text:s only partly inside keeps its other spaces). Spaces
// are written so that they read back as written (a literal space only after
// a character that is not white space and never as the last character,
// text:s otherwise), tabs and line breaks as text:tab and text:line-break;
// white space right after the span is re-encoded where its reading would
// change. A span may cross text:span boundaries but not those of links,
// fields or other wrappers.
#include <cstdint>
#include <string_view>
#include <vector>

#include <pugixml.hpp>

#include "word/story/StoryText.h"

namespace tarnwick::word {

// `story` and `nodes` come from ReadOdtStory over the same part; the span
// and text must have passed CheckEditableSpan and CheckReplacementText.
void ReplaceInOdt(const StoryText& story, const std::vector<pugi::xml_node>& nodes, std::int64_t start, std::int64_t end,
                  std::u16string_view text);

// The last sibling an edit whose units lie within `node` (or in siblings
// before it) may change, through the white space it re-encodes after
// itself: the first later sibling whose content ends that white space, or
// the parent's last child.
pugi::xml_node LastNodeAnEditCanChange(pugi::xml_node node);

}  // namespace tarnwick::word
