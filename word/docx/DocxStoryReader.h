#pragma once
// Reads the main story of a WordprocessingML main part into story units: one
// per UTF-16 unit of text, one per paragraph, cell, row or section mark,
// tab, break, symbol, field character and object or note anchor. Each unit's
// source is an index into `nodes`, the element it came from (a w:t for
// text, with the unit's offset in that element's text), so that an editor
// can find it again. Field codes (also the hidden code of a hyperlink) are
// flagged as such, field results, tracked deletions, hidden runs and the
// contents of data-bound content controls are flagged too. Text boxes,
// equations and extension markup that is not understood are not part of the
// story.
#include <string>
#include <unordered_map>
#include <vector>

#include <pugixml.hpp>

#include "word/story/StoryText.h"

namespace tarnwick::word {

// Relationship id -> target, for the hidden code of a hyperlink.
using RelationshipTargets = std::unordered_map<std::string, std::string>;

// Throws ServerError (kErrorDamaged) when the part is not a document body.
void ReadDocxStory(const pugi::xml_document& part, const RelationshipTargets& links, StoryText& story,
                   std::vector<pugi::xml_node>& nodes);

// Reads the content of `container` (w:hdr, w:ftr, w:footnote, w:endnote,
// w:comment, w:txbxContent) the same way, as a story of its own that ends
// with a paragraph mark.
void ReadDocxStoryIn(pugi::xml_node container, const RelationshipTargets& links, StoryText& story,
                     std::vector<pugi::xml_node>& nodes);

// Reads the one paragraph (w:p) `paragraph` of a part the same way, as if
// it started outside any field, cell, deletion or bound control; so its
// units match those ReadDocxStory gave it only where that context did not
// matter, which the caller checks. False when the node is no paragraph.
bool ReadDocxParagraph(pugi::xml_node paragraph, const RelationshipTargets& links, StoryText& story,
                       std::vector<pugi::xml_node>& nodes);

// Reads the sibling elements `first` to `last` (runs of one paragraph or
// wrapper) the same way, as a piece of a story without a paragraph mark,
// with the same proviso. False when `last` does not follow `first`.
bool ReadDocxRuns(pugi::xml_node first, pugi::xml_node last, const RelationshipTargets& links, StoryText& story,
                  std::vector<pugi::xml_node>& nodes);

}  // namespace tarnwick::word
