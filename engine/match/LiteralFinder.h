#pragma once
// Finds one fixed byte string in a byte range. Looks for the two bytes of the
// needle that are rarest in ordinary text at their distance from each other,
// sixteen positions at a time, and checks each candidate with memcmp.
// Immutable after construction; allocates nothing while finding.
#include <cstddef>
#include <cstdint>
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

    // How common a byte is in source code and prose; higher is more common.
    static std::uint8_t byteRank(unsigned char b);

private:
    std::size_t findScalar(const char* text, std::size_t length, std::size_t from) const;

    std::string m_needle;
    std::size_t m_rare1 = 0;  // index in the needle of its rarest byte
    std::size_t m_rare2 = 0;  // index of the second rarest, a different index
};

}  // namespace tarnwick
