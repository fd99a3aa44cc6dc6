#include "engine/replace/DiffPath.h"

#include <algorithm>

namespace tarnwick {
namespace {

// The letter of a C escape, 0 for an octal escape, ' ' for a byte that stays itself.
char escapeOf(unsigned char byte)
{
    switch (byte) {
    case '"': return '"';
    case '\\': return '\\';
    case '\a': return 'a';
    case '\b': return 'b';
    case '\t': return 't';
    case '\n': return 'n';
    case '\v': return 'v';
    case '\f': return 'f';
    case '\r': return 'r';
    default: return byte < 0x20 || byte >= 0x7f ? 0 : ' ';
    }
}

bool needsQuotes(std::string_view text)
{
    return std::any_of(text.begin(), text.end(), [](char c) { return escapeOf(static_cast<unsigned char>(c)) != ' '; });
}

void appendQuoted(std::string_view text, std::string& out)
{
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        const char escape = escapeOf(byte);
        if (escape == ' ') {
            out += c;
        } else if (escape != 0) {
            out += '\\';
            out += escape;
        } else {
            out += '\\';
            out += static_cast<char>('0' + (byte >> 6));
            out += static_cast<char>('0' + ((byte >> 3) & 7));
            out += static_cast<char>('0' + (byte & 7));
        }
    }
}

}  // namespace

std::string QuoteDiffPath(std::string_view prefix, std::string_view name)
{
    std::string out;
    if (!needsQuotes(prefix) && !needsQuotes(name)) {
        out.reserve(prefix.size() + name.size());
        out.append(prefix);
        out.append(name);
        return out;
    }
    out.reserve(prefix.size() + name.size() + 8);
    out += '"';
    appendQuoted(prefix, out);
    appendQuoted(name, out);
    out += '"';
    return out;
}

}  // namespace tarnwick
