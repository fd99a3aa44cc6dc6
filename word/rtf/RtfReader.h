#pragma once
// Reads the main story of an RTF document: every character of the main text
// as a unit whose source/offset are the first byte and the byte length of
// the tokens it came from (a \uN together with its fallback), and the byte
// spans of the main-text groups whose contents are not in the story.
#include <cstdint>
#include <string_view>
#include <utility>
#include <vector>

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
};

// Throws ServerError when the bytes are not RTF (they must begin with
// "{\rtf") or are too large to address. A damaged document is read as far as
// it goes: unclosed groups end at the end of the bytes.
RtfStory ReadRtf(std::string_view bytes);

}  // namespace tarnwick::word
