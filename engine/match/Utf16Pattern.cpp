#include "engine/match/Utf16Pattern.h"

#include "engine/match/LineBound.h"
#include "engine/match/MatchOptions.h"
#include "engine/match/RequiredLiteral.h"
#include "engine/match/SearchPattern.h"
#include "engine/match/Utf16Units.h"
#include "platform/CodePage.h"

#include <algorithm>

namespace tarnwick {

namespace {

// The bytes of ASCII `text` as UTF-16 units, little-endian or big-endian.
std::string asciiUnits(std::string_view text, bool bigEndian)
{
    std::string bytes;
    for (const char c : text) bytes += bigEndian ? std::string{'\0', c} : std::string{c, '\0'};
    return bytes;
}

// A literal every match of `utf8Pattern` contains, or "". Without case, the
// expression also matches the Kelvin sign for k and the long s for s,
// which the caseless byte comparison does not: the literal is the longest
// piece without them.
std::string requiredAsciiLiteral(const std::string& utf8Pattern, bool matchCase)
{
    const std::string literal = RequiredLiteral(utf8Pattern, !matchCase);
    if (!std::all_of(literal.begin(), literal.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; })) return {};
    if (matchCase) return literal;
    std::string best, piece;
    for (const char c : literal + 'k') {
        if (c == 'k' || c == 's') {
            if (piece.size() > best.size()) best = piece;
            piece.clear();
        } else {
            piece.push_back(c);
        }
    }
    return best;
}

}  // namespace

Utf16Pattern BuildUtf16Pattern(const MatchOptions& options, const CodePage& codePage, const std::string& searchText)
{
    Utf16Pattern pattern;
    if (options.regularExpression) {
        const std::string utf8 = codePage.ansiToUtf8(searchText);
        try {
            // A std::string is taken as UTF-8 by the library.
            pattern.regex.emplace(boost::make_u32regex(utf8, SearchRegexFlags(options.matchCase)));
        } catch (const std::exception& e) {
            pattern.regex.reset();
            pattern.regexError = e.what();
        }
        const std::string literal = requiredAsciiLiteral(utf8, options.matchCase != 0);
        if (!literal.empty()) {
            const auto mode = options.matchCase ? LiteralFinder::Case::Exact : LiteralFinder::Case::AsciiInsensitive;
            pattern.requiredLittle = LiteralFinder(asciiUnits(literal, false), mode, LiteralFinder::Text::Utf16);
            pattern.requiredBig = LiteralFinder(asciiUnits(literal, true), mode, LiteralFinder::Text::Utf16);
            pattern.lineBound = !MayCrossLineEnd(utf8);
        }
        return pattern;
    }
    pattern.units = ToUtf16Units(searchText, codePage);
    if (!options.matchCase) FoldUtf16(pattern.units.data(), pattern.units.data(), pattern.units.size());
    const auto text = LiteralFinder::Text::Utf16;
    pattern.finder =
        LiteralFinder(std::string_view(reinterpret_cast<const char*>(pattern.units.data()), 2 * pattern.units.size()),
                      LiteralFinder::Case::Exact, text);
    const bool ascii = std::all_of(pattern.units.begin(), pattern.units.end(), [](char16_t u) { return u < 0x80; });
    pattern.searchesBytes = options.matchCase || ascii;
    if (pattern.searchesBytes) {
        const auto mode = options.matchCase ? LiteralFinder::Case::Exact : LiteralFinder::Case::AsciiInsensitive;
        std::string little, big;
        for (const char16_t u : pattern.units) {
            little += {static_cast<char>(u & 0xFF), static_cast<char>(u >> 8)};
            big += {static_cast<char>(u >> 8), static_cast<char>(u & 0xFF)};
        }
        pattern.littleEndian = LiteralFinder(little, mode, text);
        pattern.bigEndian = LiteralFinder(big, mode, text);
    }
    return pattern;
}

}  // namespace tarnwick
