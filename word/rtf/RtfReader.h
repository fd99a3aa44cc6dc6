#pragma once
// Reads the stories of an RTF document: every character of a story as a
// unit whose source/offset are the first byte and the byte length of the
// tokens it came from (a \uN together with its fallback), and the byte spans
// of the story's groups whose contents are not in it. The main story leaves
// out headers, footers, notes, comments and shape text, which are stories
// of their own. A shape's text kept as a shape property (gtextUNICODE, as
// LibreOffice writes a text shape) is a text box story too.
#include <cstdint>
#include <string_view>
#include <utility>
#include <vector>

#include "word/automation/StoryId.h"
#include "word/story/StoryText.h"

namespace tarnwick::word {

struct RtfStory {
    StoryText story;
    // Per unit: read in a double-byte (East Asian) code page.
    std::vector<bool> doubleByte;
    // Groups in the main text that the story leaves out (skipped
    // destinations, objects, field codes), as [begin, end) byte spans sorted
    // by begin; they never overlap.
    std::vector<std::pair<std::uint32_t, std::uint32_t>> omittedGroups;
    // The story is a shape's text kept as the value of a shape property
    // (\sv): it holds neither groups nor control words but \uN with
    // `unicodeSkip` fallback characters, so text written there is escaped so.
    bool propertyValue = false;
    int unicodeSkip = 1;
};

// A document's stories in the order their groups begin, the main story first.
struct RtfStories {
    std::vector<StoryKind> kinds;
    std::vector<RtfStory> stories;
};

// Throws ServerError when the bytes are not RTF (they must begin with
// "{\rtf") or are too large to address. A damaged document is read as far as
// it goes: unclosed groups end at the end of the bytes.
RtfStory ReadRtf(std::string_view bytes);
// Every story, with the same refusals.
RtfStories ReadRtfStories(std::string_view bytes);

}  // namespace tarnwick::word
