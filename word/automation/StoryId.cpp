#include "word/automation/StoryId.h"

#include <algorithm>
#include <array>
#include <numeric>

namespace tarnwick::word {

std::vector<StoryId> NumberStories(const std::vector<StoryKind>& kinds, std::vector<std::size_t>& order)
{
    std::array<int, static_cast<std::size_t>(StoryKind::Footer) + 1> counts{};
    std::vector<StoryId> ids;
    ids.reserve(kinds.size());
    for (const StoryKind kind : kinds) ids.push_back(StoryId{kind, ++counts[static_cast<std::size_t>(kind)]});
    order.resize(kinds.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) { return kinds[a] < kinds[b]; });
    return ids;
}

}  // namespace tarnwick::word
