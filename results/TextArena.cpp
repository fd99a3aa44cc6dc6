#include "results/TextArena.h"

#include <cstring>
#include <limits>
#include <new>

namespace tarnwick {

TextArena::Ref TextArena::append(std::string_view text)
{
    if (text.empty()) return {};
    const std::uint64_t length = text.size();
    if (m_end + length > m_limit) {
        // A new block at the next slot boundary, as many slots long as the text needs.
        const std::uint64_t start = m_limit;
        const std::uint64_t slots = (length + kSlotSize - 1) / kSlotSize;
        const std::uint64_t size = slots * kSlotSize;
        if (start + size > std::uint64_t{std::numeric_limits<std::uint32_t>::max()} + 1) throw std::bad_alloc();
        m_blocks.push_back(std::make_unique_for_overwrite<char[]>(size));
        for (std::uint64_t i = 0; i < slots; ++i)
            m_slots.push_back(Slot{m_blocks.back().get(), static_cast<std::uint32_t>(start)});
        m_end = start;
        m_limit = start + size;
    }
    const std::uint64_t offset = m_end;
    const Slot& slot = m_slots[offset >> kSlotBits];
    std::memcpy(slot.blockStart + (offset - slot.blockOffset), text.data(), text.size());
    m_end += length;
    return Ref{static_cast<std::uint32_t>(offset), static_cast<std::uint32_t>(length)};
}

std::string_view TextArena::view(Ref ref) const
{
    if (ref.length == 0) return {};
    const Slot& slot = m_slots[ref.offset >> kSlotBits];
    return std::string_view(slot.blockStart + (ref.offset - slot.blockOffset), ref.length);
}

void TextArena::clear()
{
    m_blocks.clear();
    m_blocks.shrink_to_fit();
    m_slots.clear();
    m_slots.shrink_to_fit();
    m_end = 0;
    m_limit = 0;
}

}  // namespace tarnwick
