#pragma once
// How the result list names an item and what kind it is; on their own, so
// that the events of a run can name the items a replace in marked results
// changes without the list itself.
#include <cstdint>

namespace tarnwick {

using ItemHandle = std::uint32_t;
inline constexpr ItemHandle kNoItem = 0xFFFFFFFFu;

// What an item is; selects its icon (the values are the icons' places in
// their strip). Hits have no kind until a replace in marked results gives
// them one.
enum class ItemKind : std::int8_t {
    None = -1,
    Info = 0,
    File = 1,
    Error = 2,
    FileNameHit = 3,
    DirNameHit = 4,
    Replaced = 5,
    Document = 6,
    DocumentReplaced = 7,
};

}  // namespace tarnwick
