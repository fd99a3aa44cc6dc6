#include "settings/ProfileValueFormat.h"

namespace tarnwick::settings {

namespace {

constexpr char kHexDigits[] = "0123456789abcdef";
constexpr std::string_view kDwordPrefix = "dword:";

int HexDigitValue(char c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

std::string_view TrimBlanks(std::string_view text)
{
    const auto isBlank = [](char c) { return c == ' ' || c == '\t' || c == '\r'; };
    while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back())) text.remove_suffix(1);
    return text;
}

}  // namespace

std::string FormatDwordValue(std::uint32_t value)
{
    std::string text(kDwordPrefix);
    for (int shift = 28; shift >= 0; shift -= 4) text.push_back(kHexDigits[(value >> shift) & 0xf]);
    return text;
}

std::string FormatStringValue(std::string_view value)
{
    std::string text;
    text.reserve(value.size() + 2);
    text.push_back('"');
    for (char c : value) {
        const auto byte = static_cast<unsigned char>(c);
        switch (c) {
        case '\\': text += "\\\\"; break;
        case '"': text += "\\\""; break;
        case '\r': text += "\\r"; break;
        case '\n': text += "\\n"; break;
        case '\t': text += "\\t"; break;
        default:
            if (byte < 0x20 || byte == 0x7f) {
                text += "\\x";
                text.push_back(kHexDigits[byte >> 4]);
                text.push_back(kHexDigits[byte & 0xf]);
            } else {
                text.push_back(c);
            }
        }
    }
    text.push_back('"');
    return text;
}

std::optional<std::uint32_t> ParseDwordValue(std::string_view text)
{
    text = TrimBlanks(text);
    if (text.size() <= kDwordPrefix.size() || text.size() > kDwordPrefix.size() + 8) return std::nullopt;
    for (std::size_t i = 0; i < kDwordPrefix.size(); ++i) {
        const char lower = (text[i] >= 'A' && text[i] <= 'Z') ? static_cast<char>(text[i] - 'A' + 'a') : text[i];
        if (lower != kDwordPrefix[i]) return std::nullopt;
    }
    std::uint32_t value = 0;
    for (char c : text.substr(kDwordPrefix.size())) {
        const int digit = HexDigitValue(c);
        if (digit < 0) return std::nullopt;
        value = (value << 4) | static_cast<std::uint32_t>(digit);
    }
    return value;
}

std::optional<std::string> ParseStringValue(std::string_view text)
{
    text = TrimBlanks(text);
    if (text.size() < 2 || text.front() != '"' || text.back() != '"') return std::nullopt;
    const std::string_view body = text.substr(1, text.size() - 2);
    std::string value;
    value.reserve(body.size());
    for (std::size_t i = 0; i < body.size(); ++i) {
        const char c = body[i];
        // An unescaped quote inside means the closing quote we saw is not
        // the end of this value: the line was mangled.
        if (c == '"') return std::nullopt;
        if (c != '\\') {
            value.push_back(c);
            continue;
        }
        if (++i >= body.size()) return std::nullopt;
        switch (body[i]) {
        case '\\': value.push_back('\\'); break;
        case '"': value.push_back('"'); break;
        case 'r': value.push_back('\r'); break;
        case 'n': value.push_back('\n'); break;
        case 't': value.push_back('\t'); break;
        case 'x': {
            if (i + 2 >= body.size()) return std::nullopt;
            const int high = HexDigitValue(body[i + 1]);
            const int low = HexDigitValue(body[i + 2]);
            if (high < 0 || low < 0) return std::nullopt;
            value.push_back(static_cast<char>(high * 16 + low));
            i += 2;
            break;
        }
        default: return std::nullopt;
        }
    }
    return value;
}

}  // namespace tarnwick::settings
