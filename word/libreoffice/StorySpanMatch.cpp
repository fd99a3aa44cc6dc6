#include "word/libreoffice/StorySpanMatch.h"

#include <algorithm>
#include <string>

namespace tarnwick::word {

std::optional<StorySpan> MatchStorySpan(const StoryText& from, const StoryText& to, std::int64_t start, std::int64_t end)
{
    if (start < 0 || end < start || end > from.size()) return std::nullopt;
    const std::u16string hit = from.textOf(start, end);
    if (end <= to.size() && to.textOf(start, end) == hit) return StorySpan{start, end};
    const std::int64_t visibleStart = from.visibleIndexAt(start);
    if (hit.empty()) {
        // Nothing to look for: the place in the visible text.
        const std::int64_t index = std::min(visibleStart, to.visibleSize());
        const std::int64_t position = index < to.visibleSize() ? to.positionOfVisible(index) : to.size();
        return StorySpan{position, position};
    }
    const std::u16string& fromText = from.visibleText();
    std::size_t rank = 0;
    for (std::size_t at = fromText.find(hit); at != std::u16string::npos && static_cast<std::int64_t>(at) < visibleStart;
         at = fromText.find(hit, at + 1))
        ++rank;
    const std::u16string& toText = to.visibleText();
    std::size_t at = toText.find(hit);
    for (; at != std::u16string::npos && rank > 0; --rank) at = toText.find(hit, at + 1);
    if (at == std::u16string::npos) return std::nullopt;
    const auto first = static_cast<std::int64_t>(at);
    return StorySpan{to.positionOfVisible(first), to.positionOfVisible(first + static_cast<std::int64_t>(hit.size()) - 1) + 1};
}

}  // namespace tarnwick::word
