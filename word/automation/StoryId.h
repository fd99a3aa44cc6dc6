#pragma once
// Which story of a document a range lies in: its kind and its number among
// the document's stories of that kind (1 for the first, in document order).
// The kinds are listed in the order in which a document's stories are
// searched.
#include <cstdint>
#include <string>
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

// Stories a document holds but could not read, because the part of its
// file that holds them is damaged: which ones, and why (a ServerError's
// number and description). `number` names the one story of `kinds` (whose
// only kind it then is) the part held; 0 when the part held every story of
// `kinds`, as many as there were.
struct UnreadableStories {
    std::vector<StoryKind> kinds;
    int number = 0;
    int errorNumber = 0;
    std::string description;
};

// The ids of stories found in document order with these kinds: each
// numbered among those of its kind. `order` receives their indices sorted
// into search order (by kind, document order within a kind).
std::vector<StoryId> NumberStories(const std::vector<StoryKind>& kinds, std::vector<std::size_t>& order);

}  // namespace tarnwick::word
