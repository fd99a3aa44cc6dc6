#include "results/XmlCharacters.h"

#include "platform/CodePage.h"

#include <cstdint>

namespace tarnwick {
namespace {

bool isXmlCharacter(std::uint32_t cp)
{
    if (cp < 0x20) return cp == '\t' || cp == '\n' || cp == '\r';
    if (cp >= 0xD800 && cp < 0xE000) return false;
    return cp != 0xFFFE && cp != 0xFFFF && cp <= 0x10FFFF;
}

bool isContinuation(unsigned char b) { return (b & 0xC0) == 0x80; }

// Length of the well-formed UTF-8 sequence at `p` (n bytes left) whose code
// point XML allows, else 0. Overlong forms, surrogates and code points above
// U+10FFFF are not well-formed.
std::size_t utf8CharacterLength(const unsigned char* p, std::size_t n)
{
    const unsigned char b0 = p[0];
    if (b0 < 0x80) return isXmlCharacter(b0) ? 1 : 0;
    if (b0 < 0xC2) return 0;
    if (b0 < 0xE0) return n >= 2 && isContinuation(p[1]) ? 2 : 0;
    if (b0 < 0xF0) {
        if (n < 3 || !isContinuation(p[2])) return 0;
        const unsigned char low = b0 == 0xE0 ? 0xA0 : 0x80;
        const unsigned char high = b0 == 0xED ? 0x9F : 0xBF;
        if (p[1] < low || p[1] > high) return 0;
        const std::uint32_t cp = (std::uint32_t(b0 & 0x0F) << 12) | (std::uint32_t(p[1] & 0x3F) << 6) | (p[2] & 0x3F);
        return isXmlCharacter(cp) ? 3 : 0;
    }
    if (b0 < 0xF5) {
        if (n < 4 || !isContinuation(p[2]) || !isContinuation(p[3])) return 0;
        const unsigned char low = b0 == 0xF0 ? 0x90 : 0x80;
        const unsigned char high = b0 == 0xF4 ? 0x8F : 0xBF;
        return p[1] >= low && p[1] <= high ? 4 : 0;
    }
    return 0;
}

constexpr char kHexDigits[] = "0123456789ABCDEF";

int hexValue(char c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

}  // namespace

XmlCharacters::XmlCharacters(const CodePage& codePage) : m_utf8(codePage.isUtf8())
{
    if (m_utf8) return;
    for (int b = 0; b < 256; ++b) m_byteAllowed[b] = isXmlCharacter(codePage.codePointOfByte(static_cast<unsigned char>(b)));
}

std::size_t XmlCharacters::characterLength(std::string_view text, std::size_t pos) const
{
    const auto* p = reinterpret_cast<const unsigned char*>(text.data()) + pos;
    if (m_utf8) return utf8CharacterLength(p, text.size() - pos);
    return m_byteAllowed[*p] ? 1 : 0;
}

bool XmlCharacters::canHold(std::string_view text) const
{
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t length = characterLength(text, i);
        if (length == 0) return false;
        i += length;
    }
    return true;
}

std::string_view XmlCharacters::replacement() const { return m_utf8 ? "\xEF\xBF\xBD" : "&#xFFFD;"; }

std::string XmlCharacters::encodeRaw(std::string_view value) const
{
    std::string out;
    out.reserve(value.size() + 16);
    for (std::size_t i = 0; i < value.size();) {
        const std::size_t length = value[i] == '\\' ? 0 : characterLength(value, i);
        if (length != 0) {
            out.append(value.substr(i, length));
            i += length;
            continue;
        }
        const auto byte = static_cast<unsigned char>(value[i]);
        out.append("\\x");
        out.push_back(kHexDigits[byte >> 4]);
        out.push_back(kHexDigits[byte & 0x0F]);
        ++i;
    }
    return out;
}

std::string XmlCharacters::decodeRaw(std::string_view raw)
{
    std::string out;
    out.reserve(raw.size());
    for (std::size_t i = 0; i < raw.size(); ++i) {
        if (raw[i] == '\\' && i + 3 < raw.size() && raw[i + 1] == 'x') {
            const int high = hexValue(raw[i + 2]);
            const int low = hexValue(raw[i + 3]);
            if (high >= 0 && low >= 0) {
                out.push_back(static_cast<char>(high * 16 + low));
                i += 3;
                continue;
            }
        }
        out.push_back(raw[i]);
    }
    return out;
}

}  // namespace tarnwick
