#pragma once
// UTF-8 <-> UTF-16 for document text (XML parts are UTF-8 in memory, story
// text is UTF-16) and the code-point helpers Find and the writers share.
// Invalid input becomes U+FFFD; nothing throws.
#include <cstddef>
#include <string>
#include <string_view>

namespace tarnwick::word {

std::u16string Utf8ToUtf16(std::string_view text);
std::string Utf16ToUtf8(std::u16string_view text);
// Appends the UTF-8 of `text` to `out`, so a caller can reuse one buffer.
void AppendUtf8(std::u16string_view text, std::string& out);

inline bool IsHighSurrogate(char32_t c) { return c >= 0xD800 && c <= 0xDBFF; }
inline bool IsLowSurrogate(char32_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

// The code point starting at `i` (a lone surrogate stands for itself);
// `length` receives its number of units (1 or 2).
char32_t CodePointAt(std::u16string_view text, std::size_t i, std::size_t& length);
// The code point ending just before `i` (i > 0).
char32_t CodePointBefore(std::u16string_view text, std::size_t i);

// True for a character XML 1.0 allows in a document.
inline bool IsXmlChar(char32_t c)
{
    if (c < 0x20) return c == 0x09 || c == 0x0A || c == 0x0D;
    if (c >= 0xD800 && c <= 0xDFFF) return false;
    return c != 0xFFFE && c != 0xFFFF && c <= 0x10FFFF;
}

}  // namespace tarnwick::word
