#pragma once
// The position column of a hit: its position as a number, or, for a hit in a
// part of a document other than its main text (a header, a footnote, ...),
// the part's name, ": " and the position within that part. A position
// without a name is one in the main text, so results of documents searched
// in their main text only read as they always did.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tarnwick {

struct HitPosition {
    std::string part;  // empty: the main text (or a file's contents)
    std::int64_t position = 0;
};

std::string FormatHitPosition(std::string_view part, std::int64_t position);
// Nothing for a text that is neither form.
std::optional<HitPosition> ParseHitPosition(std::string_view text);

}  // namespace tarnwick
