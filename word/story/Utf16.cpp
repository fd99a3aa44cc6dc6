#include "word/story/Utf16.h"

namespace tarnwick::word {
namespace {

constexpr char16_t kReplacement = 0xFFFD;

void appendUtf16(std::u16string& out, char32_t c)
{
    if (c < 0x10000) {
        out.push_back(static_cast<char16_t>(c));
    } else {
        c -= 0x10000;
        out.push_back(static_cast<char16_t>(0xD800 + (c >> 10)));
        out.push_back(static_cast<char16_t>(0xDC00 + (c & 0x3FF)));
    }
}

}  // namespace

std::u16string Utf8ToUtf16(std::string_view text)
{
    std::u16string out;
    out.reserve(text.size());
    std::size_t i = 0;
    while (i < text.size()) {
        const auto b = static_cast<unsigned char>(text[i]);
        if (b < 0x80) {
            out.push_back(b);
            ++i;
            continue;
        }
        int extra = 0;
        char32_t c = 0;
        char32_t minimum = 0;
        if ((b & 0xE0) == 0xC0) {
            extra = 1, c = b & 0x1F, minimum = 0x80;
        } else if ((b & 0xF0) == 0xE0) {
            extra = 2, c = b & 0x0F, minimum = 0x800;
        } else if ((b & 0xF8) == 0xF0) {
            extra = 3, c = b & 0x07, minimum = 0x10000;
        } else {
            out.push_back(kReplacement);
            ++i;
            continue;
        }
        std::size_t j = i + 1;
        for (; j < text.size() && j <= i + static_cast<std::size_t>(extra); ++j) {
            const auto next = static_cast<unsigned char>(text[j]);
            if ((next & 0xC0) != 0x80) break;
            c = (c << 6) | (next & 0x3F);
        }
        if (j != i + 1 + static_cast<std::size_t>(extra) || c < minimum || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) {
            out.push_back(kReplacement);
            i = j > i + 1 ? j : i + 1;
            continue;
        }
        appendUtf16(out, c);
        i = j;
    }
    return out;
}

void AppendUtf8(std::u16string_view text, std::string& out)
{
    for (std::size_t i = 0; i < text.size();) {
        std::size_t length = 1;
        char32_t c = CodePointAt(text, i, length);
        i += length;
        if (IsHighSurrogate(c) || IsLowSurrogate(c)) c = kReplacement;
        if (c < 0x80) {
            out.push_back(static_cast<char>(c));
        } else if (c < 0x800) {
            out.push_back(static_cast<char>(0xC0 | (c >> 6)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        } else if (c < 0x10000) {
            out.push_back(static_cast<char>(0xE0 | (c >> 12)));
            out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        } else {
            out.push_back(static_cast<char>(0xF0 | (c >> 18)));
            out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        }
    }
}

std::string Utf16ToUtf8(std::u16string_view text)
{
    std::string out;
    out.reserve(text.size());
    AppendUtf8(text, out);
    return out;
}

char32_t CodePointAt(std::u16string_view text, std::size_t i, std::size_t& length)
{
    const char32_t c = text[i];
    if (IsHighSurrogate(c) && i + 1 < text.size() && IsLowSurrogate(text[i + 1])) {
        length = 2;
        return 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00);
    }
    length = 1;
    return c;
}

char32_t CodePointBefore(std::u16string_view text, std::size_t i)
{
    const char32_t c = text[i - 1];
    if (IsLowSurrogate(c) && i >= 2 && IsHighSurrogate(text[i - 2]))
        return 0x10000 + ((text[i - 2] - 0xD800) << 10) + (c - 0xDC00);
    return c;
}

}  // namespace tarnwick::word
