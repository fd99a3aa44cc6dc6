#pragma once
// Finds one fixed byte string in a byte range. Looks for three bytes of the
// needle at once (the two rarest in ordinary text and a third one far from
// them), 16 or 32 positions at a time, and checks each candidate with memcmp.
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
    std::size_t findSse2(const char* text, std::size_t length) const;
    std::size_t findAvx2(const char* text, std::size_t length) const;

    std::string m_needle;
    std::size_t m_rare1 = 0;  // index in the needle of its rarest byte
    std::size_t m_rare2 = 0;  // index of the second rarest, a different index
    std::size_t m_third = 0;  // a third index, as far as possible from the other two
};

}  // namespace tarnwick
