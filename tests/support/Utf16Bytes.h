#pragma once
// The bytes of a UTF-16 file for the tests of UTF-16 search and replace.
#include <string>
#include <string_view>

namespace tarnwick::test {

// A UTF-16 file: its mark and the units of `text`, plus `tail` bytes.
inline std::string utf16File(std::u16string_view text, bool bigEndian, std::string_view tail = {})
{
    std::string bytes = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
    for (const char16_t u : text) {
        const auto high = static_cast<char>(u >> 8);
        const auto low = static_cast<char>(u & 0xFF);
        bytes += bigEndian ? std::string{high, low} : std::string{low, high};
    }
    return bytes.append(tail);
}

}  // namespace tarnwick::test
