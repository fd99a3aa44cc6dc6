#pragma once
// Finds one fixed byte string in a byte range. Looks for three bytes of the
// needle at once (the two rarest in ordinary text and a third one far from
// them), 16 or 32 positions at a time, and checks each candidate in full.
// Compares bytes exactly, or without ASCII case: then the text needs no
// folded copy. Immutable after construction; allocates nothing while finding.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace tarnwick {

class LiteralFinder {
public:
    enum class Case {
        Exact,  // a text byte matches only the same byte
        AsciiInsensitive,  // ... or, for a needle byte a-z, its capital
    };

    // What the text is, for the choice of the needle's rarest bytes.
    enum class Text {
        Bytes,  // source code and prose in a byte encoding
        Utf16,  // UTF-16, where every other byte of such text is a zero
    };

    LiteralFinder() = default;
    // With Case::AsciiInsensitive the needle must be isFoldedAscii(); the
    // finder then finds exactly what an exact finder finds in the text with
    // A-Z lowered.
    explicit LiteralFinder(std::string_view needle, Case mode = Case::Exact, Text text = Text::Bytes);

    const std::string& needle() const { return m_needle; }
    bool empty() const { return m_needle.empty(); }
    bool isAsciiInsensitive() const { return m_mode == Case::AsciiInsensitive; }

    // Offset of the first occurrence in [text, text + length), or npos.
    std::size_t find(const char* text, std::size_t length) const;

    static constexpr std::size_t npos = static_cast<std::size_t>(-1);

    // How common a byte is in source code and prose; higher is more common.
    static std::uint8_t byteRank(unsigned char b);
    // Every byte is below 0x80 and none is a capital A-Z.
    static bool isFoldedAscii(std::string_view needle);

private:
    bool matchesAt(const char* text) const;
    std::size_t findScalar(const char* text, std::size_t length, std::size_t from) const;
    template <bool Caseless>
    std::size_t findSse2(const char* text, std::size_t length) const;
#if defined(__x86_64__)
    template <bool Caseless>
    __attribute__((target("avx2"))) std::size_t findAvx2(const char* text, std::size_t length) const;
#endif

    std::string m_needle;
    Case m_mode = Case::Exact;
    std::size_t m_rare1 = 0;  // index in the needle of its rarest byte
    std::size_t m_rare2 = 0;  // index of the second rarest, a different index
    std::size_t m_third = 0;  // a third index, as far as possible from the other two
    // OR-ed into a text byte before it is compared with the needle byte at
    // m_rare1, m_rare2, m_third: 0x20 for a letter without case, else 0.
    char m_fold1 = 0;
    char m_fold2 = 0;
    char m_fold3 = 0;
};

}  // namespace tarnwick
