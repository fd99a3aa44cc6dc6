#pragma once
// How a plain-text file holds its characters, told from its bytes, and the
// conversions both ways, so that a text file is read as a document and
// written back in the same encoding, with the same byte-order mark.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

namespace tarnwick {
class CodePage;
}

namespace tarnwick::word {

enum class TextEncoding : std::uint8_t {
    Utf8,
    Utf16LittleEndian,
    Utf16BigEndian,
    SingleByte,  // one character per byte: the code page's, or ISO-8859-1 where it has none
};

struct TextCoding {
    TextEncoding encoding = TextEncoding::Utf8;
    bool byteOrderMark = false;
    // SingleByte: the character of each byte, and back.
    std::array<char16_t, 256> characters{};
    std::unordered_map<char16_t, unsigned char> bytes;
};

struct DecodedText {
    TextCoding coding;
    std::u16string text;  // without the byte-order mark
};

// The text of a file, or nothing when the bytes are no text: a NUL byte
// outside UTF-16, a UTF-16 file of odd length, a UTF-8 mark before bytes
// that are no UTF-8. Text with a UTF-8 sequence and no fault is UTF-8;
// other text is of the code page (ASCII included, as the search sees it),
// or one character per byte of ISO-8859-1 when the code page is UTF-8 or
// lacks one of its bytes, so that every byte comes back as it was.
std::optional<DecodedText> DecodeText(std::string_view bytes, const CodePage& codePage);

// The first character of `text` the coding cannot write, if any.
std::optional<char32_t> FirstUnwritable(const TextCoding& coding, std::u16string_view text);

// `text` in the coding, its mark first. Every character must be writable.
std::string EncodeText(const TextCoding& coding, std::u16string_view text);

}  // namespace tarnwick::word
