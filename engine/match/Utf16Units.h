#pragma once
// The UTF-16 code units of a file's text: decoding the file's bytes into
// units of this machine's byte order, case folding them, and the character
// tests and conversions the UTF-16 search shares with the replace side.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "platform/Expected.h"

namespace tarnwick {

class CodePage;

// Growable storage of units whose contents are not initialised on growth
// and whose memory is kept between files.
class UnitBuffer {
public:
    char16_t* data() { return m_data.get(); }
    // Makes room for `n` units; existing contents are not kept. Fails with
    // ENOMEM when the memory cannot be had.
    [[nodiscard]] Expected<void> reserveDiscarding(std::size_t n);
    void shrinkAbove(std::size_t limit)
    {
        if (m_capacity > limit) {
            m_data.reset();
            m_capacity = 0;
        }
    }

private:
    std::unique_ptr<char16_t[]> m_data;
    std::size_t m_capacity = 0;
};

inline bool IsHighSurrogateUnit(char16_t u) { return u >= 0xD800 && u <= 0xDBFF; }
inline bool IsLowSurrogateUnit(char16_t u) { return u >= 0xDC00 && u <= 0xDFFF; }

// Decodes `count` units from `bytes` (big-endian or little-endian) into
// `out`. A surrogate without its partner becomes U+FFFD, one unit for one,
// so offsets stay those of the file and the text is always well formed.
void DecodeUtf16(const char* bytes, std::size_t count, bool bigEndian, char16_t* out);

// Simple case folding, one unit for one (a pair stays a pair), that makes
// no other character ASCII; `in` and `out` may be the same.
void FoldUtf16(const char16_t* in, char16_t* out, std::size_t count);

// A character that makes a word continue for whole-word matching: A-Z, a-z,
// 0-9 and every character from U+00C0 on (the word bytes of the code page,
// read as characters).
inline bool IsWordCharacter(char32_t c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c >= 0xC0;
}

// Appends the UTF-8 form of well-formed units to `out`.
void AppendUtf8(const char16_t* units, std::size_t count, std::string& out);

// Appends units as the bytes of a UTF-16 file of the given byte order.
void AppendUtf16Bytes(std::u16string_view units, bool bigEndian, std::string& out);
// Code-page text as the bytes of a UTF-16 file of the given byte order.
std::string EncodeUtf16(std::string_view text, const CodePage& codePage, bool bigEndian);
// Code-page text as units of this machine.
std::u16string ToUtf16Units(std::string_view text, const CodePage& codePage);

}  // namespace tarnwick
