// Reads arbitrary bytes as RTF and checks what every reader result must hold.
#include <cstdlib>
#include <string_view>

#include "word/automation/Automation.h"
#include "word/rtf/RtfReader.h"

using namespace tarnwick::word;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    RtfStory story;
    try {
        story = ReadRtf(bytes);
    } catch (const ServerError&) {
        return 0;
    }
    const auto& units = story.story.units();
    if (units.empty() || units.back().kind != UnitKind::ParagraphEnd) std::abort();
    if (story.doubleByte.size() != units.size()) std::abort();
    std::uint64_t previousEnd = 0;
    for (const Unit& unit : units) {
        const std::uint64_t end = std::uint64_t{unit.source} + unit.offset;
        if (end > size) std::abort();
        // Units an edit may cut out lie in byte order and never overlap.
        if (unit.offset > 0 && unit.kind != UnitKind::Anchor) {
            if (unit.source < previousEnd) std::abort();
            previousEnd = end;
        }
    }
    std::uint64_t groupEnd = 0;
    for (const auto& [begin, end] : story.omittedGroups) {
        if (begin < groupEnd || end < begin || end > size) std::abort();
        groupEnd = end;
    }
    return 0;
}
