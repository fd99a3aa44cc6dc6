#pragma once
// A plain text as a document's main story and back: each line is a
// paragraph, its line end (LF, CR LF or CR, kept per line) becomes the
// paragraph mark, and the mark of a last line without a line end writes
// nothing. Tabs are tab units; every other character is text.
#include <string>
#include <string_view>

#include "word/story/StoryText.h"

namespace tarnwick::word {

// The line end a paragraph mark stands for, kept as the mark's source.
enum LineEnd : std::uint32_t {
    kNoLineEnd = 0,  // the last line of a text that does not end with a line end
    kLf = 1,
    kCrLf = 2,
    kCr = 3,
};

// The story of `text`, indexed.
StoryText ReadTextStory(std::u16string_view text);

// The story's text as the file holds it. A line break a replacement put in
// is written as the line end of its paragraph (the text's first line end
// when that paragraph has none).
std::u16string WriteTextStory(const StoryText& story);

}  // namespace tarnwick::word
