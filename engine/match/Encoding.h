#pragma once
// The text encodings a file is searched in, and their codes as a file item
// keeps them.
#include <cstdint>

namespace tarnwick {

// A file's text encoding. Its code is kept with the file item (the item
// data), so the values are fixed.
enum class Encoding : std::int32_t {
    Unknown = 0,
    Ansi = 1,
    Utf16BigEndian = 2,
    Utf16LittleEndian = 3,
    Utf8 = 4,
};

constexpr std::int32_t EncodingCode(Encoding encoding) { return static_cast<std::int32_t>(encoding); }
// A file that starts with a UTF-16 byte-order mark is searched as UTF-16 text.
constexpr bool IsUtf16(Encoding encoding)
{
    return encoding == Encoding::Utf16BigEndian || encoding == Encoding::Utf16LittleEndian;
}
// The encoding of a file item's code; a code that names none is Unknown.
constexpr Encoding EncodingOfCode(std::int64_t code)
{
    return code >= EncodingCode(Encoding::Unknown) && code <= EncodingCode(Encoding::Utf8) ? static_cast<Encoding>(code)
                                                                                           : Encoding::Unknown;
}

}  // namespace tarnwick
