#pragma once
// Find over a story's visible text (what Range.Text returns: field results
// but not codes, no hidden text). A hit is reported as the span of story
// positions it covers, so hidden units and field codes that lie between its
// first and last visible unit belong to it. Stateless; threads may search
// different stories at once, not the same one (a search may move the
// story's gap, see StoryText).
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "word/story/StoryText.h"

namespace tarnwick::word {

struct FindOptions {
    // Off: characters compare after Unicode simple case folding (one code
    // point to one, so ß stays unlike "ss"), and straight and curly quotes
    // compare equal.
    bool matchCase = false;
    // The characters just before and after the hit must not be letters or
    // digits (general categories L and N); the story's edges count as such a
    // non-word neighbour.
    bool matchWholeWord = false;
};

struct StorySpan {
    std::int64_t start = 0;
    std::int64_t end = 0;  // exclusive
};

// A hyphen shown only where a line breaks: U+00AD, or the code the readers
// give an optional hyphen element (0x1F). Find passes over it, so that a
// word hyphenated this way is found as it reads; a hit never begins or ends
// with one, and one inside a hit belongs to it (a replacement removes it).
inline bool IsOptionalHyphen(char32_t c) { return c == 0x00AD || c == 0x1F; }

// The first hit of `needle` that lies wholly within the story positions
// [from, to). An empty needle finds nothing. A needle without control
// characters never crosses a paragraph or cell mark, since those read as
// "\r" and "\r\a". Optional hyphens in the needle are ignored as in the text.
std::optional<StorySpan> FindInStory(const StoryText& story, std::u16string_view needle, const FindOptions& options,
                                     std::int64_t from, std::int64_t to);

// The key a character is compared by when case does not matter.
char32_t FoldForFind(char32_t c);

// True for letters and digits in the sense of whole-word matching.
bool IsWordCharacter(char32_t c);

// The replacement as written for a hit found without MatchCase: upper-cased
// when the found text is all capitals (it has upper-case letters and no
// lower-case ones), as it is given otherwise.
std::u16string AdaptReplacementCase(std::u16string_view found, std::u16string_view replacement);

}  // namespace tarnwick::word
