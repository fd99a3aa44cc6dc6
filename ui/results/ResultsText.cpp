#include "ui/results/ResultsText.h"

#include <algorithm>
#include <cstdint>

#include "platform/CodePage.h"

namespace tarnwick::ui {

namespace {

constexpr char16_t kReplacement = 0xFFFD;

// One UTF-8 sequence at the start of `bytes`: its length in bytes (1 for an
// invalid byte) and its code point (U+FFFD when invalid).
struct Decoded {
    std::size_t length = 1;
    std::uint32_t codePoint = kReplacement;
};

bool isContinuation(unsigned char byte) { return (byte & 0xC0) == 0x80; }

Decoded decodeOne(std::string_view bytes)
{
    const auto lead = static_cast<unsigned char>(bytes[0]);
    if (lead < 0x80) return {1, lead};
    std::size_t length = 0;
    std::uint32_t codePoint = 0;
    std::uint32_t minimum = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2, codePoint = lead & 0x1F, minimum = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3, codePoint = lead & 0x0F, minimum = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4, codePoint = lead & 0x07, minimum = 0x10000;
    } else {
        return {};
    }
    if (bytes.size() < length) return {};
    for (std::size_t i = 1; i < length; ++i) {
        const auto byte = static_cast<unsigned char>(bytes[i]);
        if (!isContinuation(byte)) return {};
        codePoint = (codePoint << 6) | (byte & 0x3F);
    }
    // Overlong forms, surrogates and code points beyond Unicode are not text.
    if (codePoint < minimum || codePoint > 0x10FFFF || (codePoint >= 0xD800 && codePoint <= 0xDFFF)) return {};
    return {length, codePoint};
}

int unitsOf(std::uint32_t codePoint) { return codePoint > 0xFFFF ? 2 : 1; }

void appendUtf16(std::u16string& out, std::uint32_t codePoint)
{
    if (codePoint > 0xFFFF) {
        codePoint -= 0x10000;
        out.push_back(static_cast<char16_t>(0xD800 + (codePoint >> 10)));
        out.push_back(static_cast<char16_t>(0xDC00 + (codePoint & 0x3FF)));
    } else {
        out.push_back(static_cast<char16_t>(codePoint));
    }
}

std::u16string decodeUtf8(std::string_view bytes)
{
    std::u16string out;
    out.reserve(bytes.size());
    for (std::size_t i = 0; i < bytes.size();) {
        const Decoded d = decodeOne(bytes.substr(i));
        appendUtf16(out, d.codePoint);
        i += d.length;
    }
    return out;
}

}  // namespace

std::u16string ToDisplayText(std::string_view bytes, const CodePage& codePage)
{
    if (codePage.isUtf8()) return decodeUtf8(bytes);
    // A single-byte code page gives one character (at most U+FFFF) per byte.
    return decodeUtf8(codePage.ansiToUtf8(bytes));
}

DisplayRange ToDisplayRange(std::string_view bytes, int byteStart, int byteEnd, const CodePage& codePage)
{
    const int size = static_cast<int>(bytes.size());
    const int start = std::clamp(byteStart, 0, size);
    const int end = std::clamp(byteEnd, start, size);
    if (!codePage.isUtf8()) return {start, end};

    DisplayRange range;
    bool startSet = false;
    int units = 0;
    for (std::size_t i = 0; i < bytes.size();) {
        const Decoded d = decodeOne(bytes.substr(i));
        const int first = static_cast<int>(i);
        const int past = first + static_cast<int>(d.length);
        // The first character that reaches past the start begins the range.
        if (!startSet && past > start) {
            range.start = units;
            startSet = true;
        }
        units += unitsOf(d.codePoint);
        // Every character that begins before the end belongs to the range.
        if (first < end) range.end = units;
        if (past >= end && startSet) break;
        i += d.length;
    }
    if (!startSet) range.start = units;
    if (range.end < range.start) range.end = range.start;
    return range;
}

}  // namespace tarnwick::ui
