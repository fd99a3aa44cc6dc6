#include "word/story/StoryText.h"

#include <algorithm>

namespace tarnwick::word {
namespace {

constexpr auto kKeep = [](auto*, std::size_t, bool) {};

// Converts story positions that cross the gap of the position table
// between absolute (in front) and relative to the story's size (behind).
auto convertPositions(std::int64_t storySize)
{
    const auto size = static_cast<std::int32_t>(storySize);
    return [size](std::int32_t* values, std::size_t count, bool toFront) {
        const std::int32_t delta = toFront ? size : -size;
        for (std::size_t i = 0; i < count; ++i) values[i] += delta;
    };
}

}  // namespace

std::vector<Unit>& StoryText::units() { return m_units.close(kKeep); }

const std::vector<Unit>& StoryText::units() const { return m_units.close(kKeep); }

const std::u16string& StoryText::visibleText() const { return m_visible.close(kKeep); }

const std::vector<std::int32_t>& StoryText::visiblePositions() const { return m_positions.close(convertPositions(size())); }

void StoryText::index()
{
    const std::vector<Unit>& all = units();
    std::u16string visible;
    std::vector<std::int32_t> positions;
    visible.reserve(all.size());
    positions.reserve(all.size());
    for (std::size_t i = 0; i < all.size(); ++i) {
        const Unit& unit = all[i];
        if (!unit.visible()) continue;
        const auto position = static_cast<std::int32_t>(i);
        switch (unit.kind) {
        case UnitKind::CellEnd:
        case UnitKind::RowEnd:
            visible.push_back(u'\r');
            positions.push_back(position);
            visible.push_back(u'\a');
            positions.push_back(position);
            break;
        case UnitKind::Symbol:
            visible.push_back(u'(');
            positions.push_back(position);
            break;
        default:
            visible.push_back(unit.value);
            positions.push_back(position);
            break;
        }
    }
    m_visible.assign(std::move(visible));
    m_positions.assign(std::move(positions));
}

std::int64_t StoryText::positionOfVisible(std::int64_t index) const
{
    const auto i = static_cast<std::size_t>(index);
    const std::int64_t stored = m_positions[i];
    return m_positions.isInFront(i) ? stored : stored + size();
}

std::int64_t StoryText::visibleIndexAt(std::int64_t position) const
{
    if (position <= 0) return 0;
    if (position >= size()) return visibleSize();
    // Positions grow with the index: the first visible index whose unit is
    // at or after `position`.
    std::int64_t low = 0;
    std::int64_t high = visibleSize();
    while (low < high) {
        const std::int64_t middle = low + (high - low) / 2;
        if (positionOfVisible(middle) < position)
            low = middle + 1;
        else
            high = middle;
    }
    return low;
}

std::u16string_view StoryText::visibleFrom(std::int64_t index) const
{
    const auto from = static_cast<std::size_t>(std::clamp<std::int64_t>(index, 0, visibleSize()));
    return {m_visible.tail(from, kKeep), m_visible.size() - from};
}

std::u16string StoryText::textOf(std::int64_t start, std::int64_t end) const
{
    const std::int64_t from = visibleIndexAt(start);
    const std::int64_t to = visibleIndexAt(end);
    std::u16string text;
    if (to <= from) return text;
    text.reserve(static_cast<std::size_t>(to - from));
    for (std::int64_t i = from; i < to; ++i) text.push_back(visibleAt(i));
    return text;
}

void StoryText::splice(std::int64_t start, std::int64_t end, const StoryText& part, std::uint32_t sourceBase)
{
    const auto visibleStart = static_cast<std::size_t>(visibleIndexAt(start));
    const auto visibleEnd = static_cast<std::size_t>(visibleIndexAt(end));
    const auto visibleCount = static_cast<std::size_t>(part.visibleSize());

    // The position table first, while the values behind its gap are still
    // relative to the old size: once the gap sits at the end of the old
    // piece, every value behind it belongs to a unit after the piece and
    // moves with the new size by itself.
    std::int32_t* positions = m_positions.replace(visibleStart, visibleEnd, visibleCount, convertPositions(size()));
    for (std::size_t i = 0; i < visibleCount; ++i)
        positions[i] = static_cast<std::int32_t>(start + part.positionOfVisible(static_cast<std::int64_t>(i)));

    char16_t* visible = m_visible.replace(visibleStart, visibleEnd, visibleCount, kKeep);
    for (std::size_t i = 0; i < visibleCount; ++i) visible[i] = part.visibleAt(static_cast<std::int64_t>(i));

    const auto count = static_cast<std::size_t>(part.size());
    Unit* units = m_units.replace(static_cast<std::size_t>(start), static_cast<std::size_t>(end), count, kKeep);
    for (std::size_t i = 0; i < count; ++i) {
        units[i] = part.unit(static_cast<std::int64_t>(i));
        units[i].source += sourceBase;
    }
}

}  // namespace tarnwick::word
