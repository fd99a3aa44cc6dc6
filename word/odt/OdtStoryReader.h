#pragma once
// Reads the main story of an OpenDocument text (the office:text of
// content.xml) into story units, on the same model as WordprocessingML:
// paragraph ends as \r, a cell's last paragraph end as the cell mark, a
// row mark after each table row, text:s as spaces, text:tab and
// text:line-break as \t and \v; notes, annotations and frames count as one
// anchor each without their contents. Field elements and generated index
// bodies are flagged as field results. Tracked deletions, which the format
// keeps outside the text, are read where their text:change marker stands,
// flagged as deleted.
//
// White space in character data follows the format's rule: every space,
// tab, CR or LF counts as a space, and is dropped at the start of a
// paragraph and right after another white-space character of character
// data; text:s, text:tab, text:line-break and other content end such a run.
// A unit's source is an index into `nodes` (the PCDATA node or element it
// came from) and its offset the UTF-16 index in that node's text (or the
// space's index within a text:s).
#include <vector>

#include <pugixml.hpp>

#include "word/story/StoryText.h"

namespace tarnwick::word {

// Throws ServerError (kErrorDamaged) when the part has no office:text body.
void ReadOdtStory(const pugi::xml_document& content, StoryText& story, std::vector<pugi::xml_node>& nodes);

// Reads the content of `container` (text:note-body, office:annotation,
// draw:text-box or a shape holding paragraphs, style:header or style:footer)
// the same way, as a story of its own.
void ReadOdtStoryIn(pugi::xml_node container, StoryText& story, std::vector<pugi::xml_node>& nodes);

// Reads the one paragraph or heading `paragraph` of content.xml the same
// way, as if it lay outside any field or index; its units match those
// ReadOdtStory gave it only where that context did not matter, which the
// caller checks. False when the node is no paragraph or heading.
bool ReadOdtParagraph(pugi::xml_node paragraph, StoryText& story, std::vector<pugi::xml_node>& nodes);

// Reads the children of `parent` (a paragraph or an element inside one,
// outside any field) after `before` up to `after` (null: from the first, to
// the last) as a piece of a story. `blank` says whether the paragraph's
// white space before them swallows a following blank (at its start, or
// after a blank of character data) and returns the same for their end.
// False when `after` is not a later sibling of `before`.
bool ReadOdtPiece(pugi::xml_node parent, pugi::xml_node before, pugi::xml_node after, bool& blank, StoryText& story,
                  std::vector<pugi::xml_node>& nodes);

// True for the characters the format treats as white space in character data.
inline bool IsOdfWhiteSpace(char16_t c) { return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r'; }

// The largest space count of a text:s this component accepts.
constexpr int kMaxSpaceCount = 1 << 16;
// All space elements of one story together: far beyond any real document.
constexpr std::int64_t kMaxExpandedSpaces = std::int64_t{1} << 24;

// The number of spaces a text:c value stands for: 1 when it is missing or
// not a positive number, -1 when it is above kMaxSpaceCount.
int ParseSpaceCount(const char* value);

}  // namespace tarnwick::word
