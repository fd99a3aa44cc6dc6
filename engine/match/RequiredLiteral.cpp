#include "engine/match/RequiredLiteral.h"

#include <cctype>
#include <cstring>

namespace tarnwick {
namespace {

// Index just after the bracket expression that starts at `i` ('[').
std::size_t skipClass(std::string_view p, std::size_t i)
{
    ++i;
    if (i < p.size() && p[i] == '^') ++i;
    if (i < p.size() && p[i] == ']') ++i;  // a ']' first is a member
    while (i < p.size() && p[i] != ']') {
        if (p[i] == '\\')
            ++i;
        else if (p[i] == '[' && i + 1 < p.size() && (p[i + 1] == ':' || p[i + 1] == '.' || p[i + 1] == '=')) {
            const char kind = p[i + 1];
            i += 2;
            while (i + 1 < p.size() && !(p[i] == kind && p[i + 1] == ']')) ++i;
            ++i;
        }
        ++i;
    }
    return i + 1;
}

// Index just after the group that starts at `i` ('(').
std::size_t skipGroup(std::string_view p, std::size_t i)
{
    int depth = 0;
    while (i < p.size()) {
        const char c = p[i];
        if (c == '\\') {
            i += 2;
            continue;
        }
        if (c == '[') {
            i = skipClass(p, i);
            continue;
        }
        if (c == '(') ++depth;
        if (c == ')' && --depth == 0) return i + 1;
        ++i;
    }
    return i;
}

bool hasTopLevelAlternationOrOptions(std::string_view p)
{
    int depth = 0;
    for (std::size_t i = 0; i < p.size(); ++i) {
        const char c = p[i];
        if (c == '\\') {
            ++i;
        } else if (c == '[') {
            i = skipClass(p, i) - 1;
        } else if (c == '(') {
            // (?i), (?x) and the like change how the rest is read.
            if (i + 2 < p.size() && p[i + 1] == '?' && (std::isalpha(static_cast<unsigned char>(p[i + 2])) || p[i + 2] == '-'))
                return true;
            ++depth;
        } else if (c == ')') {
            --depth;
        } else if (c == '|' && depth == 0) {
            return true;
        }
    }
    return false;
}

}  // namespace

std::string RequiredLiteral(std::string_view p, bool ignoreCase)
{
    if (p.find("\\Q") != std::string_view::npos || hasTopLevelAlternationOrOptions(p)) return {};
    std::string best;
    std::string run;
    auto endRun = [&] {
        if (run.size() > best.size()) best = run;
        run.clear();
    };
    std::size_t i = 0;
    while (i < p.size()) {
        const unsigned char c = static_cast<unsigned char>(p[i]);
        int literal = -1;  // the plain character this atom stands for, if any
        std::size_t next = i + 1;
        if (c == '\\') {
            if (i + 1 >= p.size()) return {};
            const unsigned char e = static_cast<unsigned char>(p[i + 1]);
            next = i + 2;
            // \x41, \cA, \p{L}, \k<n>, \1 and the like carry an argument that
            // is not text of the match; rather than parse it, give no literal.
            if (e != 0 && std::strchr("xcpPNgk0123456789", e)) return {};
            // \< \> \` \' are assertions; other escaped punctuation is itself.
            if (!std::isalnum(e) && e != '<' && e != '>' && e != '`' && e != '\'') literal = e;
        } else if (c == '[') {
            next = skipClass(p, i);
        } else if (c == '(') {
            next = skipGroup(p, i);
        } else if (c == '.' || c == '^' || c == '$' || c == ')') {
        } else if (c == '*' || c == '?' || c == '+' || c == '{') {
            // A quantifier without an atom before it: leave it to the library.
            return {};
        } else {
            literal = c;
        }
        if (literal >= 0 && ignoreCase) {
            if (literal >= 0x80)
                literal = -1;
            else
                literal = std::tolower(literal);
        }

        // What follows the atom decides whether it is required exactly once.
        const char q = next < p.size() ? p[next] : '\0';
        const bool optional = q == '*' || q == '?' || q == '{';
        const bool repeated = q == '+';
        if (literal >= 0 && !optional) {
            run.push_back(static_cast<char>(literal));
            if (repeated) endRun();
        } else {
            endRun();
        }
        i = next;
        if (optional || repeated) {
            if (q == '{') {
                while (i < p.size() && p[i] != '}') ++i;
            }
            ++i;
            // Lazy and possessive forms.
            if (i < p.size() && (p[i] == '?' || p[i] == '+')) ++i;
        }
    }
    endRun();
    return best;
}

}  // namespace tarnwick
