#include "engine/match/LineBound.h"

#include <cstring>

namespace tarnwick {
namespace {

bool isLineEnd(unsigned char c) { return c == '\n' || c == '\r'; }
bool isAlnum(unsigned char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

// Escapes (outside a bracket expression) that stand for a byte or a set of
// bytes without CR and LF, or for an assertion judged by the neighbouring
// bytes only: digit, word, non-space, lower, upper, word boundaries, the
// very end, tab, bell, escape, form feed. Every other letter or digit after
// a backslash is a class with line ends, an escape with an argument, a
// back-reference or an assertion about the search range.
constexpr const char* kSafeEscapes = "dwSluBbztaef";
// The same inside a bracket expression, where only bytes and classes occur.
constexpr const char* kSafeClassEscapes = "dwSlutaef";

bool isSafeClassName(std::string_view name)
{
    static constexpr std::string_view kNames[] = {"alnum", "alpha", "digit", "graph", "lower",
                                                  "punct", "upper", "word",  "xdigit"};
    for (std::string_view safe : kNames)
        if (name == safe) return true;
    return false;
}

// Checks the bracket expression that starts at `i` ('['). Returns the index
// just after it, or 0 when it may hold a line end.
std::size_t checkClass(std::string_view p, std::size_t i)
{
    const std::size_t n = p.size();
    ++i;
    // A negated set holds CR and LF unless it names them; not worth proving.
    if (i < n && p[i] == '^') return 0;
    bool first = true;
    while (i < n) {
        const auto c = static_cast<unsigned char>(p[i]);
        if (c == ']' && !first) return i + 1;
        first = false;
        if (isLineEnd(c)) return 0;
        if (c == '[' && i + 1 < n && (p[i + 1] == ':' || p[i + 1] == '.' || p[i + 1] == '=')) {
            // Collating elements and equivalence classes are not looked into.
            if (p[i + 1] != ':') return 0;
            const std::size_t close = p.find(":]", i + 2);
            if (close == std::string_view::npos || !isSafeClassName(p.substr(i + 2, close - i - 2))) return 0;
            i = close + 2;
            // A class as the end of a range is an error or a literal '-'; either way, no.
            if (i + 1 < n && p[i] == '-' && p[i + 1] != ']') return 0;
            continue;
        }
        if (c == '\\') {
            if (i + 1 >= n) return 0;
            const auto e = static_cast<unsigned char>(p[i + 1]);
            if (isLineEnd(e) || (isAlnum(e) && !std::strchr(kSafeClassEscapes, e))) return 0;
            i += 2;
            // Ranges with an escaped end are left unproved.
            if (i + 1 < n && p[i] == '-' && p[i + 1] != ']') return 0;
            continue;
        }
        if (i + 2 < n && p[i + 1] == '-' && p[i + 2] != ']') {
            const auto last = static_cast<unsigned char>(p[i + 2]);
            if (last == '\\' || last == '[') return 0;
            // Bytes from 0x80 compare as negative chars: the range's extent is unclear.
            if (c >= 0x80 || last >= 0x80) return 0;
            if ((c <= '\n' && last >= '\n') || (c <= '\r' && last >= '\r')) return 0;
            i += 3;
            continue;
        }
        ++i;
    }
    return 0;  // unterminated
}

}  // namespace

bool MayCrossLineEnd(std::string_view p)
{
    const std::size_t n = p.size();
    std::size_t i = 0;
    while (i < n) {
        const auto c = static_cast<unsigned char>(p[i]);
        if (isLineEnd(c) || c == '.') return true;
        if (c == '\\') {
            if (i + 1 >= n) return true;
            const auto e = static_cast<unsigned char>(p[i + 1]);
            if (isLineEnd(e)) return true;
            if (isAlnum(e) && !std::strchr(kSafeEscapes, e)) return true;
            // \` and \' are the start and end of the search range.
            if (e == '`' || e == '\'') return true;
            i += 2;
            continue;
        }
        if (c == '[') {
            i = checkClass(p, i);
            if (i == 0) return true;
            continue;
        }
        if (c == '(' && i + 1 < n && (p[i + 1] == '?' || p[i + 1] == '*')) {
            // Plain groups, lookaheads and atomic groups only: options,
            // lookbehind, names, comments, conditions, recursion and verbs
            // are left unproved.
            if (p[i + 1] == '*' || i + 2 >= n || p[i + 2] == 0 || !std::strchr(":=!>", p[i + 2])) return true;
            i += 3;
            continue;
        }
        ++i;
    }
    return false;
}

}  // namespace tarnwick
