#pragma once
// Which story of a document a range lies in: its kind and its number among
// the document's stories of that kind (1 for the first, in document order).
// The kinds are listed in the order in which a document's stories are
// searched.
#include <cstdint>
#include <vector>

namespace tarnwick::word {

enum class StoryKind : std::uint8_t {
    Header,
    MainText,
    Footnote,
    Endnote,
    Comment,
    TextBox,  // text boxes, frames and shapes holding text
    Footer,
};

struct StoryId {
    StoryKind kind = StoryKind::MainText;
    int number = 1;

    bool isMainText() const { return kind == StoryKind::MainText; }
    bool operator==(const StoryId&) const = default;
};

// The ids of stories found in document order with these kinds: each
// numbered among those of its kind. `order` receives their indices sorted
// into search order (by kind, document order within a kind).
std::vector<StoryId> NumberStories(const std::vector<StoryKind>& kinds, std::vector<std::size_t>& order);

}  // namespace tarnwick::word
