#pragma once
// Splits RTF bytes into tokens, each with the byte span it came from, so that
// an edit can cut out exactly the bytes of some tokens and leave every other
// byte as it was. Knows nothing of groups' meaning; \binN is the one control
// word it interprets, because its N raw bytes must not be read as RTF.
// Holds a view of the bytes (which must outlive it); not thread-safe.
#include <cstdint>
#include <string_view>

namespace tarnwick::word {

enum class RtfTokenKind : std::uint8_t {
    GroupOpen,  // {
    GroupClose,  // }
    Word,  // \letters[-digits] with its delimiting space, if any
    Symbol,  // \ and one non-letter (\~ \* \\ ...); a backslash ending a line is \par
    Hex,  // \'hh
    Binary,  // \binN and its N raw bytes
    Text,  // one plain byte
    Ignored,  // CR, LF and other bytes RTF does not count as text
    End,
};

struct RtfToken {
    RtfTokenKind kind = RtfTokenKind::End;
    std::uint32_t begin = 0;
    std::uint32_t end = 0;
    std::string_view word;  // Word: the letters
    std::int32_t parameter = 0;
    bool hasParameter = false;
    // Word: it ended at a non-space byte, so a letter, digit, '-' or space
    // written right after it would change its meaning.
    bool bare = false;
    unsigned char byte = 0;  // Symbol: the character; Hex: the value; Text: the byte
};

class RtfTokenizer {
public:
    // The bytes must be shorter than 4 GiB (spans are 32-bit).
    explicit RtfTokenizer(std::string_view bytes) : m_bytes(bytes) {}

    RtfToken next();
    std::uint32_t position() const { return static_cast<std::uint32_t>(m_pos); }

private:
    RtfToken readControl(std::size_t start);

    std::string_view m_bytes;
    std::size_t m_pos = 0;
};

// True for a byte that would extend a bare control word written before it.
bool ContinuesControlWord(unsigned char byte);

}  // namespace tarnwick::word
