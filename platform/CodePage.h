#pragma once
// The character set that engine strings are written in ("the system code
// page"): the charset of the user's locale, with a C or POSIX locale counting
// as UTF-8. Immutable after construction, so one object may be shared by
// threads.
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace tarnwick {

class CodePage {
public:
    // The code page of the process locale; calls setlocale(LC_ALL, "") the
    // first time. The object lives until the process ends.
    static const CodePage& system();

    // A code page by iconv charset name ("UTF-8", "ISO-8859-1", ...). Names
    // iconv does not know, and multi-byte charsets other than UTF-8, give a
    // UTF-8 code page.
    explicit CodePage(std::string charset);

    bool isUtf8() const { return m_utf8; }
    const std::string& name() const { return m_name; }

    // The Unicode code point of one byte of a single-byte code page, or
    // U+FFFF for a byte that is no character of it. Meaningless for UTF-8.
    std::uint32_t codePointOfByte(unsigned char byte) const { return m_byteToCodePoint[byte]; }

    // Length-preserving lower-casing used for search text, chunks and names
    // alike: A-Z always, and the letters of the code page whose small form
    // has the same length. `in` and `out` may be the same buffer.
    void foldCase(const char* in, char* out, std::size_t n) const;
    std::string lower(std::string_view text) const;

    // True when folding changes no ASCII byte but A-Z and turns no other
    // byte into an ASCII one, so that ASCII text is found without case by
    // comparing bytes, with no folded copy. Always true for UTF-8.
    bool hasSeparateAsciiFold() const;

    // The opposite of lower(): the capitals of the same letter pairs.
    std::string upper(std::string_view text) const;
    // The same into `out` (n bytes; may be `in`).
    void upperCase(const char* in, char* out, std::size_t n) const;

    // The same folding for text known to be UTF-8 (a UTF-8 file searched
    // under a single-byte code page): A-Z and the two-byte capitals.
    static void foldUtf8Text(const char* in, char* out, std::size_t n);

    // Text of this code page to UTF-8; a byte that is not a character
    // becomes '?'. With a UTF-8 code page the text is returned unchanged.
    std::string ansiToUtf8(std::string_view text) const;

    // UTF-8 to this code page. Code points the code page can show are kept
    // (with a UTF-8 code page all of them, up to U+10FFFF; otherwise only
    // some up to U+FFFF); invalid sequences and the others become '?'.
    std::string utf8ToAnsi(std::string_view text) const;
    // The same into `out`, whose memory is reused.
    void utf8ToAnsi(std::string_view text, std::string& out) const;

    // Length in bytes of utf8ToAnsi(text), computed without building it.
    std::size_t utf8ToAnsiLength(std::string_view text) const;

private:
    template <typename Sink>
    void decodeUtf8(std::string_view text, Sink&& sink) const;

    std::string m_name;
    bool m_utf8 = true;
    std::array<unsigned char, 256> m_byteFold{};
    std::array<unsigned char, 256> m_byteUpper{};
    std::array<std::uint16_t, 256> m_byteToCodePoint{};  // 0xFFFF: not a character
    std::unique_ptr<std::uint8_t[]> m_codePointToByte;  // 65,536 entries; 0 = none (except U+0000)
};

// Lower-case form of a code point below U+0800 whose lower-case form is also
// below U+0800 and not ASCII unless the capital is; otherwise the code point.
std::uint32_t LowerTwoByteCodePoint(std::uint32_t cp);

}  // namespace tarnwick
