#include "word/StoryText.h"

namespace tarnwick::word {

void StoryText::index()
{
    m_visible.clear();
    m_positions.clear();
    m_visible.reserve(m_units.size());
    m_positions.reserve(m_units.size());
    m_firstVisibleAt.assign(m_units.size() + 1, 0);
    for (std::size_t i = 0; i < m_units.size(); ++i) {
        m_firstVisibleAt[i] = static_cast<std::int32_t>(m_visible.size());
        const Unit& unit = m_units[i];
        if (!unit.visible()) continue;
        const auto position = static_cast<std::int32_t>(i);
        switch (unit.kind) {
        case UnitKind::CellEnd:
        case UnitKind::RowEnd:
            m_visible.push_back(u'\r');
            m_positions.push_back(position);
            m_visible.push_back(u'\a');
            m_positions.push_back(position);
            break;
        case UnitKind::Symbol:
            m_visible.push_back(u'(');
            m_positions.push_back(position);
            break;
        default:
            m_visible.push_back(unit.value);
            m_positions.push_back(position);
            break;
        }
    }
    m_firstVisibleAt[m_units.size()] = static_cast<std::int32_t>(m_visible.size());
}

std::int64_t StoryText::visibleIndexAt(std::int64_t position) const
{
    if (position <= 0) return 0;
    if (position >= static_cast<std::int64_t>(m_units.size())) return static_cast<std::int64_t>(m_visible.size());
    return m_firstVisibleAt[static_cast<std::size_t>(position)];
}

std::u16string StoryText::textOf(std::int64_t start, std::int64_t end) const
{
    const std::int64_t from = visibleIndexAt(start);
    const std::int64_t to = visibleIndexAt(end);
    if (to <= from) return {};
    return m_visible.substr(static_cast<std::size_t>(from), static_cast<std::size_t>(to - from));
}

}  // namespace tarnwick::word
