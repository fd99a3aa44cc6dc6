#pragma once
// The context line of a hit in a word-processor document, built from the
// text before the hit, the hit and the text after it, each read from the
// document by character positions on its own, so that the highlight offset
// lies where the hit is however many hidden characters (field codes, hidden
// text) the document counts in between.
#include <string>
#include <string_view>

namespace tarnwick {

struct DocumentContext {
    std::u16string text;
    std::size_t hitOffset = 0;  // where the hit begins in `text`
    std::size_t hitLength = 0;  // its length in `text`
};

// The line around the hit: from the last line, paragraph or cell end in
// `before` ("..." in front when there is none and `before` does not begin
// the text: nothing of the line is left out then) to the first one in
// `after` ("..." behind when there is none). Line ends and the marks and anchors a
// document's text reads as never appear in it: a line break or tab becomes a
// blank, other control characters are left out.
DocumentContext BuildDocumentContext(std::u16string_view before, std::u16string_view hit, std::u16string_view after,
                                     bool beforeBeginsText);

}  // namespace tarnwick
