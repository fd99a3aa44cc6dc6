#pragma once
// Where a hit lies in the text of a document open in Writer: in its main
// text or in any other part (a header, a note, a text box ...), as the
// search counted it. Every call may throw uno::Exception.
#include <com/sun/star/text/XTextCursor.hpp>
#include <com/sun/star/text/XTextDocument.hpp>

#include <cstdint>
#include <string>

#include "word/automation/StoryId.h"

namespace tarnwick::word {

// The range of `document`, the file at `path` open in Writer, that holds
// the `length` characters at `position` of the story `story` in the
// engine's model of the file. Null when the hit cannot be placed: its part
// is missing from Writer's document, Writer hands out only a copy of it (a
// comment), or its text is not found there.
css::uno::Reference<css::text::XTextCursor> WriterHitRange(const css::uno::Reference<css::text::XTextDocument>& document,
                                                           const std::string& path, StoryId story, std::int64_t position,
                                                           std::int64_t length);

}  // namespace tarnwick::word
