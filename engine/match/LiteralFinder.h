#pragma once
// Finds one fixed byte string in a byte range. Skips with memchr on the byte
// of the needle that is rarest in ordinary text and checks candidates with
// memcmp; when candidates keep failing it switches to memmem for the rest of
// the range. Immutable after construction; allocates nothing while finding.
#include <cstddef>
#include <string>
#include <string_view>

namespace tarnwick {

class LiteralFinder {
public:
    LiteralFinder() = default;
    explicit LiteralFinder(std::string_view needle);

    const std::string& needle() const { return m_needle; }
    bool empty() const { return m_needle.empty(); }

    // Offset of the first occurrence in [text, text + length), or npos.
    std::size_t find(const char* text, std::size_t length) const;

    static constexpr std::size_t npos = static_cast<std::size_t>(-1);

private:
    std::string m_needle;
    std::size_t m_rareIndex = 0;  // index in the needle of the byte memchr looks for
};

}  // namespace tarnwick
