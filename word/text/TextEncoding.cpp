#include "word/text/TextEncoding.h"

#include "platform/CodePage.h"
#include "word/story/Utf16.h"

namespace tarnwick::word {
namespace {

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
constexpr char16_t kNoCharacter = 0xFFFF;

// Strict UTF-8 (no overlong forms, no surrogates, nothing above U+10FFFF)
// to units; false at the first fault. `multiByte` tells whether any
// sequence was longer than one byte.
bool decodeUtf8(std::string_view bytes, std::u16string& out, bool& multiByte)
{
    const auto* s = reinterpret_cast<const unsigned char*>(bytes.data());
    const std::size_t n = bytes.size();
    out.reserve(n);
    multiByte = false;
    for (std::size_t i = 0; i < n;) {
        const unsigned char b = s[i];
        if (b < 0x80) {
            out.push_back(b);
            ++i;
            continue;
        }
        std::size_t length = 0;
        char32_t c = 0;
        char32_t least = 0;
        if (b >= 0xC2 && b <= 0xDF) {
            length = 2;
            c = b & 0x1F;
            least = 0x80;
        } else if (b >= 0xE0 && b <= 0xEF) {
            length = 3;
            c = b & 0x0F;
            least = 0x800;
        } else if (b >= 0xF0 && b <= 0xF4) {
            length = 4;
            c = b & 0x07;
            least = 0x10000;
        } else {
            return false;
        }
        if (i + length > n) return false;
        for (std::size_t k = 1; k < length; ++k) {
            if ((s[i + k] & 0xC0) != 0x80) return false;
            c = (c << 6) | (s[i + k] & 0x3F);
        }
        if (c < least || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return false;
        if (c >= 0x10000) {
            out.push_back(static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10)));
            out.push_back(static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF)));
        } else {
            out.push_back(static_cast<char16_t>(c));
        }
        multiByte = true;
        i += length;
    }
    return true;
}

// The character of each byte in the code page; kNoCharacter where it has none.
std::array<char16_t, 256> codePageCharacters(const CodePage& codePage)
{
    std::array<char16_t, 256> characters{};
    for (unsigned b = 0; b < 256; ++b) {
        const std::string utf8 = codePage.ansiToUtf8(std::string(1, static_cast<char>(b)));
        const std::u16string units = Utf8ToUtf16(utf8);
        const bool none = units.size() != 1 || (utf8 == "?" && b != '?');
        characters[b] = none ? kNoCharacter : units[0];
    }
    return characters;
}

void decodeSingleByte(std::string_view bytes, const CodePage& codePage, DecodedText& decoded)
{
    std::array<char16_t, 256>& characters = decoded.coding.characters;
    bool complete = !codePage.isUtf8();
    if (complete) {
        characters = codePageCharacters(codePage);
        for (const char b : bytes)
            if (characters[static_cast<unsigned char>(b)] == kNoCharacter) complete = false;
    }
    if (!complete)
        for (unsigned b = 0; b < 256; ++b) characters[b] = static_cast<char16_t>(b);
    for (unsigned b = 0; b < 256; ++b)
        if (characters[b] != kNoCharacter) decoded.coding.bytes.emplace(characters[b], static_cast<unsigned char>(b));
    decoded.text.reserve(bytes.size());
    for (const char b : bytes) decoded.text.push_back(characters[static_cast<unsigned char>(b)]);
}

}  // namespace

std::optional<DecodedText> DecodeText(std::string_view bytes, const CodePage& codePage)
{
    DecodedText decoded;
    TextCoding& coding = decoded.coding;
    const bool little = bytes.starts_with("\xFF\xFE");
    if (little || bytes.starts_with("\xFE\xFF")) {
        if (bytes.size() % 2 != 0) return std::nullopt;
        coding.encoding = little ? TextEncoding::Utf16LittleEndian : TextEncoding::Utf16BigEndian;
        coding.byteOrderMark = true;
        const auto* s = reinterpret_cast<const unsigned char*>(bytes.data());
        // Lone surrogates stay as they are: they are written back unchanged.
        for (std::size_t i = 2; i < bytes.size(); i += 2)
            decoded.text.push_back(static_cast<char16_t>(little ? s[i] | (s[i + 1] << 8) : (s[i] << 8) | s[i + 1]));
        return decoded;
    }
    if (bytes.find('\0') != std::string_view::npos) return std::nullopt;
    bool multiByte = false;
    if (bytes.starts_with(kUtf8Mark)) {
        coding.byteOrderMark = true;
        if (!decodeUtf8(bytes.substr(kUtf8Mark.size()), decoded.text, multiByte)) return std::nullopt;
        return decoded;
    }
    if (decodeUtf8(bytes, decoded.text, multiByte) && multiByte) return decoded;
    decoded.text.clear();
    coding.encoding = TextEncoding::SingleByte;
    decodeSingleByte(bytes, codePage, decoded);
    return decoded;
}

std::optional<char32_t> FirstUnwritable(const TextCoding& coding, std::u16string_view text)
{
    if (coding.encoding != TextEncoding::SingleByte) return std::nullopt;
    for (std::size_t i = 0; i < text.size();) {
        std::size_t length = 1;
        const char32_t c = CodePointAt(text, i, length);
        if (c > 0xFFFF || !coding.bytes.contains(static_cast<char16_t>(c))) return c;
        i += length;
    }
    return std::nullopt;
}

std::string EncodeText(const TextCoding& coding, std::u16string_view text)
{
    std::string out;
    switch (coding.encoding) {
    case TextEncoding::Utf8:
        if (coding.byteOrderMark) out = kUtf8Mark;
        out += Utf16ToUtf8(text);
        break;
    case TextEncoding::Utf16LittleEndian:
    case TextEncoding::Utf16BigEndian: {
        const bool little = coding.encoding == TextEncoding::Utf16LittleEndian;
        out.reserve(2 * text.size() + 2);
        out = little ? "\xFF\xFE" : "\xFE\xFF";
        for (const char16_t u : text) {
            const auto high = static_cast<char>(u >> 8);
            const auto low = static_cast<char>(u & 0xFF);
            out.push_back(little ? low : high);
            out.push_back(little ? high : low);
        }
        break;
    }
    case TextEncoding::SingleByte:
        out.reserve(text.size());
        for (const char16_t u : text) out.push_back(static_cast<char>(coding.bytes.at(u)));
        break;
    }
    return out;
}

}  // namespace tarnwick::word
