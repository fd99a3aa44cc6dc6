#include "word/rtf/RtfTokenizer.h"

#include <limits>

namespace tarnwick::word {
namespace {

bool isLetter(unsigned char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool isDigit(unsigned char c) { return c >= '0' && c <= '9'; }

int hexValue(unsigned char c)
{
    if (isDigit(c)) return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

}  // namespace

bool ContinuesControlWord(unsigned char byte) { return isLetter(byte) || isDigit(byte) || byte == '-' || byte == ' '; }

RtfToken RtfTokenizer::next()
{
    RtfToken token;
    token.begin = position();
    if (m_pos >= m_bytes.size()) {
        token.end = token.begin;
        return token;
    }
    const auto c = static_cast<unsigned char>(m_bytes[m_pos]);
    if (c == '\\') return readControl(m_pos);
    ++m_pos;
    token.end = position();
    token.byte = c;
    if (c == '{')
        token.kind = RtfTokenKind::GroupOpen;
    else if (c == '}')
        token.kind = RtfTokenKind::GroupClose;
    else if (c == '\r' || c == '\n' || c == 0)
        token.kind = RtfTokenKind::Ignored;
    else
        token.kind = RtfTokenKind::Text;
    return token;
}

RtfToken RtfTokenizer::readControl(std::size_t start)
{
    RtfToken token;
    token.begin = static_cast<std::uint32_t>(start);
    std::size_t pos = start + 1;
    const std::size_t size = m_bytes.size();
    if (pos >= size) {
        // A lone backslash at the very end means nothing.
        m_pos = pos;
        token.kind = RtfTokenKind::Ignored;
        token.end = position();
        return token;
    }
    const auto c = static_cast<unsigned char>(m_bytes[pos]);
    if (!isLetter(c)) {
        ++pos;
        token.kind = RtfTokenKind::Symbol;
        token.byte = c;
        if (c == '\'') {
            const int high = pos < size ? hexValue(static_cast<unsigned char>(m_bytes[pos])) : -1;
            const int low = pos + 1 < size ? hexValue(static_cast<unsigned char>(m_bytes[pos + 1])) : -1;
            if (high >= 0 && low >= 0) {
                token.kind = RtfTokenKind::Hex;
                token.byte = static_cast<unsigned char>(high * 16 + low);
                pos += 2;
            }
        }
        m_pos = pos;
        token.end = position();
        return token;
    }

    const std::size_t nameStart = pos;
    while (pos < size && isLetter(static_cast<unsigned char>(m_bytes[pos]))) ++pos;
    token.kind = RtfTokenKind::Word;
    token.word = m_bytes.substr(nameStart, pos - nameStart);
    bool negative = false;
    if (pos + 1 < size && m_bytes[pos] == '-' && isDigit(static_cast<unsigned char>(m_bytes[pos + 1]))) {
        negative = true;
        ++pos;
    }
    if (pos < size && isDigit(static_cast<unsigned char>(m_bytes[pos]))) {
        token.hasParameter = true;
        std::int64_t value = 0;
        constexpr std::int64_t kLimit = std::numeric_limits<std::int32_t>::max();
        while (pos < size && isDigit(static_cast<unsigned char>(m_bytes[pos]))) {
            value = value * 10 + (m_bytes[pos] - '0');
            if (value > kLimit) value = kLimit;  // saturate: no reader needs more
            ++pos;
        }
        token.parameter = static_cast<std::int32_t>(negative ? -value : value);
    }
    if (pos < size && m_bytes[pos] == ' ')
        ++pos;
    else
        token.bare = true;

    if (token.word == "bin") {
        token.kind = RtfTokenKind::Binary;
        if (token.hasParameter && token.parameter > 0) {
            const std::size_t length = static_cast<std::size_t>(token.parameter);
            pos = length < size - pos ? pos + length : size;
        }
        token.bare = false;
    }
    m_pos = pos;
    token.end = position();
    return token;
}

}  // namespace tarnwick::word
