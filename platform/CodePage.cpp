#include "CodePage.h"

#include <iconv.h>
#include <langinfo.h>

#include <algorithm>
#include <cerrno>
#include <clocale>
#include <cstring>

namespace tarnwick {
namespace {

constexpr std::uint16_t kNoCharacter = 0xFFFF;

bool isUtf8Name(std::string name)
{
    std::transform(name.begin(), name.end(), name.begin(), [](unsigned char c) { return std::toupper(c); });
    name.erase(std::remove(name.begin(), name.end(), '-'), name.end());
    return name == "UTF8" || name.empty() || name == "ANSI_X3.41968" || name == "ASCII" || name == "USASCII";
}

// The Unicode code point of one byte of `charset`, or kNoCharacter. Returns
// false when iconv cannot convert from the charset at all.
bool buildByteTable(const std::string& charset, std::array<std::uint16_t, 256>& table)
{
    iconv_t cd = iconv_open("UTF-16LE", charset.c_str());
    if (cd == reinterpret_cast<iconv_t>(-1)) return false;
    for (int b = 0; b < 256; ++b) {
        char in = static_cast<char>(b);
        unsigned char out[8] = {};
        char* inPtr = &in;
        char* outPtr = reinterpret_cast<char*>(out);
        std::size_t inLeft = 1, outLeft = sizeof out;
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
        const std::size_t rc = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
        if (rc == static_cast<std::size_t>(-1) || inLeft != 0 || sizeof out - outLeft != 2)
            table[b] = kNoCharacter;
        else
            table[b] = static_cast<std::uint16_t>(out[0] | (out[1] << 8));
    }
    iconv_close(cd);
    return true;
}

void appendUtf8(std::string& out, std::uint32_t cp)
{
    if (cp < 0x80) {
        out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
}

std::size_t utf8Length(std::uint32_t cp) { return cp < 0x80 ? 1 : cp < 0x800 ? 2 : cp < 0x10000 ? 3 : 4; }

// Two-byte UTF-8 folding tables, indexed by code point - 0x80.
struct TwoByteFold {
    std::array<std::uint16_t, 0x800 - 0x80> lower{};
    std::array<std::uint16_t, 0x800 - 0x80> upper{};
    TwoByteFold()
    {
        for (std::uint32_t cp = 0x80; cp < 0x800; ++cp) upper[cp - 0x80] = static_cast<std::uint16_t>(cp);
        for (std::uint32_t cp = 0x80; cp < 0x800; ++cp) {
            const std::uint32_t l = LowerTwoByteCodePoint(cp);
            const bool paired = l >= 0x80 && l < 0x800 && l != cp;
            lower[cp - 0x80] = static_cast<std::uint16_t>(paired ? l : cp);
            if (paired && upper[l - 0x80] == l) upper[l - 0x80] = static_cast<std::uint16_t>(cp);
        }
    }
};
const TwoByteFold& twoByteFold()
{
    static const TwoByteFold table;
    return table;
}

inline std::uint64_t lowerAsciiWord(std::uint64_t x)
{
    // Every byte is below 0x80: bit 7 of (b + 0x3F) says b >= 'A', bit 7 of
    // (b + 0x25) says b > 'Z'; no addition carries into the next byte.
    const std::uint64_t ge_A = x + 0x3F3F3F3F3F3F3F3FULL;
    const std::uint64_t gt_Z = x + 0x2525252525252525ULL;
    const std::uint64_t upper = ge_A & ~gt_Z & 0x8080808080808080ULL;
    return x | (upper >> 2);
}

}  // namespace

const CodePage& CodePage::system()
{
    static const CodePage page = [] {
        std::setlocale(LC_ALL, "");
        const char* codeset = nl_langinfo(CODESET);
        return CodePage(codeset ? codeset : "UTF-8");
    }();
    return page;
}

CodePage::CodePage(std::string charset) : m_name(std::move(charset))
{
    for (int b = 0; b < 256; ++b) {
        m_byteFold[b] = static_cast<unsigned char>((b >= 'A' && b <= 'Z') ? b + 0x20 : b);
        m_byteUpper[b] = static_cast<unsigned char>((b >= 'a' && b <= 'z') ? b - 0x20 : b);
    }
    m_utf8 = isUtf8Name(m_name);
    if (!m_utf8 && !buildByteTable(m_name, m_byteToCodePoint)) m_utf8 = true;
    if (m_utf8) {
        m_name = "UTF-8";
        return;
    }
    m_codePointToByte = std::make_unique<std::uint8_t[]>(0x10000);
    std::memset(m_codePointToByte.get(), 0, 0x10000);
    for (int b = 255; b >= 1; --b)
        if (m_byteToCodePoint[b] != kNoCharacter) m_codePointToByte[m_byteToCodePoint[b]] = static_cast<std::uint8_t>(b);
    for (int b = 0x80; b < 256; ++b) {
        const std::uint16_t cp = m_byteToCodePoint[b];
        if (cp == kNoCharacter) continue;
        const std::uint32_t lowerCp = LowerTwoByteCodePoint(cp);
        if (lowerCp != cp && lowerCp < 0x10000 && m_codePointToByte[lowerCp] != 0) {
            m_byteFold[b] = m_codePointToByte[lowerCp];
            m_byteUpper[m_codePointToByte[lowerCp]] = static_cast<unsigned char>(b);
        }
    }
}

void CodePage::foldCase(const char* inChars, char* outChars, std::size_t n) const
{
    const auto* in = reinterpret_cast<const unsigned char*>(inChars);
    auto* out = reinterpret_cast<unsigned char*>(outChars);
    if (m_utf8) {
        foldUtf8Text(inChars, outChars, n);
        return;
    }
    for (std::size_t i = 0; i < n; ++i) out[i] = m_byteFold[in[i]];
}

void CodePage::foldUtf8Text(const char* inChars, char* outChars, std::size_t n)
{
    const auto* in = reinterpret_cast<const unsigned char*>(inChars);
    auto* out = reinterpret_cast<unsigned char*>(outChars);
    const auto& fold = twoByteFold().lower;
    std::size_t i = 0;
    while (i < n) {
        if (i + 8 <= n) {
            std::uint64_t word;
            std::memcpy(&word, in + i, 8);
            if ((word & 0x8080808080808080ULL) == 0) {
                word = lowerAsciiWord(word);
                std::memcpy(out + i, &word, 8);
                i += 8;
                continue;
            }
        }
        const unsigned char b = in[i];
        if (b < 0x80) {
            out[i] = (b >= 'A' && b <= 'Z') ? static_cast<unsigned char>(b + 0x20) : b;
            ++i;
        } else if (b >= 0xC2 && b <= 0xDF && i + 1 < n && (in[i + 1] & 0xC0) == 0x80) {
            const std::uint32_t cp = ((b & 0x1Fu) << 6) | (in[i + 1] & 0x3Fu);
            const std::uint32_t l = fold[cp - 0x80];
            out[i] = static_cast<unsigned char>(0xC0 | (l >> 6));
            out[i + 1] = static_cast<unsigned char>(0x80 | (l & 0x3F));
            i += 2;
        } else {
            out[i] = b;
            ++i;
        }
    }
}

bool CodePage::hasSeparateAsciiFold() const
{
    if (m_utf8) return true;
    for (int b = 0; b < 256; ++b) {
        const int folded = m_byteFold[b];
        const int asciiLower = (b >= 'A' && b <= 'Z') ? b + 0x20 : b;
        if (b < 0x80 ? folded != asciiLower : folded < 0x80) return false;
    }
    return true;
}

std::string CodePage::lower(std::string_view text) const
{
    std::string result(text);
    foldCase(result.data(), result.data(), result.size());
    return result;
}

std::string CodePage::upper(std::string_view text) const
{
    std::string out(text);
    upperCase(out.data(), out.data(), out.size());
    return out;
}

void CodePage::upperCase(const char* inChars, char* outChars, std::size_t n) const
{
    const auto* in = reinterpret_cast<const unsigned char*>(inChars);
    auto* bytes = reinterpret_cast<unsigned char*>(outChars);
    if (!m_utf8) {
        for (std::size_t i = 0; i < n; ++i) bytes[i] = m_byteUpper[in[i]];
        return;
    }
    const auto& table = twoByteFold().upper;
    for (std::size_t i = 0; i < n; ++i) {
        const unsigned char b = in[i];
        if (b < 0x80) {
            bytes[i] = m_byteUpper[b];
        } else if (b >= 0xC2 && b <= 0xDF && i + 1 < n && (in[i + 1] & 0xC0) == 0x80) {
            const std::uint32_t u = table[(((b & 0x1Fu) << 6) | (in[i + 1] & 0x3Fu)) - 0x80];
            bytes[i] = static_cast<unsigned char>(0xC0 | (u >> 6));
            bytes[i + 1] = static_cast<unsigned char>(0x80 | (u & 0x3F));
            ++i;
        } else {
            bytes[i] = b;
        }
    }
}

std::string CodePage::ansiToUtf8(std::string_view text) const
{
    if (m_utf8) return std::string(text);
    std::string out;
    out.reserve(text.size() * 2);
    for (unsigned char b : text) {
        const std::uint16_t cp = m_byteToCodePoint[b];
        appendUtf8(out, cp == kNoCharacter ? '?' : cp);
    }
    return out;
}

// Calls sink(code point) for each decoded character, or sink(kNoCharacter)
// for an invalid sequence, a surrogate, a code point beyond Unicode, or one
// above U+FFFF when the code page is not UTF-8. A UTF-8 code page keeps those
// (emoji and the like), so that text typed or read is not turned into '?'.
template <typename Sink>
void CodePage::decodeUtf8(std::string_view text, Sink&& sink) const
{
    const auto* s = reinterpret_cast<const unsigned char*>(text.data());
    const std::size_t n = text.size();
    std::size_t i = 0;
    while (i < n) {
        const unsigned char b = s[i];
        if (b < 0x80) {
            sink(b);
            ++i;
            continue;
        }
        int follow;
        std::uint32_t cp;
        std::uint32_t minimum;
        if ((b & 0xE0) == 0xC0) {
            follow = 1;
            cp = b & 0x1F;
            minimum = 0x80;
        } else if ((b & 0xF0) == 0xE0) {
            follow = 2;
            cp = b & 0x0F;
            minimum = 0x800;
        } else if ((b & 0xF8) == 0xF0) {
            follow = 3;
            cp = b & 0x07;
            minimum = 0x10000;
        } else {
            sink(kNoCharacter);
            ++i;
            continue;
        }  // a continuation byte or F8..FF cannot start a character
        std::size_t j = i + 1;
        bool valid = true;
        for (int k = 0; k < follow; ++k, ++j) {
            if (j >= n || (s[j] & 0xC0) != 0x80) {
                valid = false;
                break;
            }
            cp = (cp << 6) | (s[j] & 0x3F);
        }
        // Decoding resumes at the byte that broke the sequence.
        const std::uint32_t maximum = m_utf8 ? 0x10FFFF : 0xFFFF;
        if (!valid || cp < minimum || cp > maximum || (cp >= 0xD800 && cp <= 0xDFFF))
            sink(kNoCharacter);
        else
            sink(cp);
        i = j;
    }
}

std::string CodePage::utf8ToAnsi(std::string_view text) const
{
    std::string out;
    utf8ToAnsi(text, out);
    return out;
}

void CodePage::utf8ToAnsi(std::string_view text, std::string& out) const
{
    out.clear();
    decodeUtf8(text, [&](std::uint32_t cp) {
        if (cp == kNoCharacter) {
            out.push_back('?');
        } else if (m_utf8) {
            appendUtf8(out, cp);
        } else {
            const std::uint8_t b = m_codePointToByte[cp];
            out.push_back((b != 0 || cp == 0) ? static_cast<char>(b) : '?');
        }
    });
}

std::size_t CodePage::utf8ToAnsiLength(std::string_view text) const
{
    std::size_t length = 0;
    decodeUtf8(text, [&](std::uint32_t cp) { length += (m_utf8 && cp != kNoCharacter) ? utf8Length(cp) : 1; });
    return length;
}

}  // namespace tarnwick
