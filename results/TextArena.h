#pragma once
// The texts of the result list, appended one after the other into blocks
// that never move. A run adds millions of short texts while the view reads
// them under the same lock: growing one contiguous buffer would copy all of
// it (tens of megabytes) while the view waits, and keep up to twice the
// memory in reserve.
//
// A text is addressed by an offset into one 4 GiB address space that is cut
// into slots of 1 MiB; a text never straddles a block, and a text longer
// than a slot gets a block of its own covering several slots.
#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

namespace tarnwick {

class TextArena {
public:
    struct Ref {
        std::uint32_t offset = 0;
        std::uint32_t length = 0;
    };

    // Copies the text in; throws std::bad_alloc when the address space is used up.
    Ref append(std::string_view text);
    std::string_view view(Ref ref) const;
    // Gives every block back.
    void clear();

private:
    static constexpr unsigned kSlotBits = 20;
    static constexpr std::uint64_t kSlotSize = std::uint64_t{1} << kSlotBits;

    struct Slot {
        char* blockStart = nullptr;  // the block this slot belongs to
        std::uint32_t blockOffset = 0;  // the address at which that block begins
    };

    std::vector<std::unique_ptr<char[]>> m_blocks;
    std::vector<Slot> m_slots;
    std::uint64_t m_end = 0;  // next free address
    std::uint64_t m_limit = 0;  // end of the current block's slots
};

}  // namespace tarnwick
