#pragma once
// The stretches in which a changed line differs from its new form, so the
// preview can mark them inside the line (a word diff): the words that
// differ, narrowed to the characters that differ. Stretches never split a
// UTF-8 character.
#include <cstddef>
#include <string_view>
#include <vector>

namespace tarnwick::ui {

// Bytes [begin, end) of a line.
struct ByteRange {
    std::size_t begin = 0, end = 0;
    bool operator==(const ByteRange&) const = default;
};

struct ChangedStretches {
    std::vector<ByteRange> before;  // in the old line
    std::vector<ByteRange> after;  // in the new line
};

// Words compared per line at most (old and new together); beyond that the
// stretch between the common start and end is marked as one, which keeps a
// long, wholly rewritten line from costing quadratic time.
inline constexpr std::size_t kMaxComparedWords = 512;

ChangedStretches FindChangedStretches(std::string_view before, std::string_view after);

}  // namespace tarnwick::ui
