#pragma once
// What the reader does with each RTF control word it knows: the ones that
// stand for a character, the destinations whose text is not part of the main
// story, and the few properties that change how text is read. Words not in
// the table are formatting and are passed over.
#include <cstdint>
#include <string_view>

#include "word/automation/StoryId.h"
#include "word/story/StoryText.h"

namespace tarnwick::word {

enum class RtfAction : std::uint8_t {
    Character,  // a unit of `kind` and `value`
    Skip,  // a destination outside the main story
    Anchor,  // an embedded object: one unit of `value`, its group skipped
    FontTable,
    Field,
    FieldCode,
    FieldResult,
    Unicode,  // \uN
    UnicodeSkip,  // \ucN
    AnsiCodePage,  // \ansicpgN; \ansi \mac \pc \pca set `value` as the code page
    DefaultFont,
    Font,
    FontCharset,
    FontCodePage,
    Hidden,
    Deleted,
    Plain,
    // A destination whose content is main text although it follows \*: a
    // reader that does not know it skips it, one that does reads its \nestrow.
    MainText,
    // A destination that is another story (header, footer, note, comment,
    // text box): skipped in the main story; `value` is its StoryKind.
    Story,
    // \ftnalt: the note being read is an endnote.
    Endnote,
};

struct RtfKeyword {
    std::string_view name;
    RtfAction action;
    UnitKind kind = UnitKind::Text;
    char16_t value = 0;
};

// The entry for `word`, or null.
const RtfKeyword* FindRtfKeyword(std::string_view word);

}  // namespace tarnwick::word
