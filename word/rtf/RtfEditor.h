#pragma once
// The byte-level edit behind replacing a span of an RTF document's main
// story: the tokens of the replaced characters are cut out, every control
// word and group stays, and the replacement goes, escaped, where the first
// replaced character was, so it keeps that character's formatting.
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "word/rtf/RtfReader.h"

namespace tarnwick::word {

struct RtfEdit {
    std::string bytes;
    RtfStory story;  // read back from `bytes`
};

// One replacement planned in a document's bytes: the escaped text goes in at
// `insertAt`, the byte spans `cuts` (the replaced characters' tokens, in
// order, none before `insertAt`) go.
struct RtfCut {
    std::uint32_t insertAt = 0;
    std::string escaped;
    std::vector<std::pair<std::uint32_t, std::uint32_t>> cuts;

    // The last byte the edit touches (exclusive).
    std::uint32_t end() const { return cuts.empty() ? insertAt : cuts.back().second; }
};

// Plans the replacement of the units [start, end) of `story` (read from
// `bytes`) by `text`, refusing what EditRtf refuses except a result that
// does not read back as intended, which only applying it can tell.
RtfCut PlanRtfEdit(std::string_view bytes, const RtfStory& story, std::int64_t start, std::int64_t end,
                   const std::u16string& text);

// `bytes` with the planned edits (in byte order, none overlapping another)
// made in one pass. A control word that would run on into the text after it
// gets its delimiting space.
std::string ApplyRtfEdits(std::string_view bytes, const std::vector<RtfCut>& edits);

// Whether `edited` leaves as many groups open at its end as `original`.
// Text written after a binary run that the end of the file cuts short is
// taken into the run, so its group marks change the structure while the
// story still reads as intended.
bool RtfGroupsNestAlike(std::string_view original, std::string_view edited);

// The document `bytes` (read as `story`) with the units [start, end)
// replaced by `text`. Refuses (ServerError) what EditChecks.h refuses for
// every format, and also spans in a double-byte code page, spans that
// enclose a group left out of the story (bookmark, note, comment, object)
// and a result that would not read back as the intended story or whose
// groups would not nest as before (RtfGroupsNestAlike).
RtfEdit EditRtf(std::string_view bytes, const RtfStory& story, std::int64_t start, std::int64_t end, const std::u16string& text);

// `text` as RTF: printable ASCII as it is (with \ { } escaped), tab and
// line break as control words, anything else as {\uc1\uN?}.
// Throws ServerError (kErrorRefusedText) for control characters RTF text
// cannot hold.
std::string EscapeRtfText(const std::u16string& text);

// `text` as the value of a shape property (\sv) where \ucN is `unicodeSkip`:
// printable ASCII as it is (with \ { } escaped), anything else as \uN and
// its fallback, without groups. Throws ServerError (kErrorRefusedText) for
// tab, line break and other control characters.
std::string EscapeRtfPropertyValue(const std::u16string& text, int unicodeSkip);

}  // namespace tarnwick::word
