#include "word/story/TextFind.h"

#include "word/story/Utf16.h"

#include <unicode/uchar.h>

#include <vector>

namespace tarnwick::word {
namespace {

std::vector<char32_t> codePointsOf(std::u16string_view text, bool matchCase)
{
    std::vector<char32_t> out;
    for (std::size_t i = 0; i < text.size();) {
        std::size_t length = 1;
        const char32_t c = CodePointAt(text, i, length);
        if (!IsOptionalHyphen(c)) out.push_back(matchCase ? c : FoldForFind(c));
        i += length;
    }
    return out;
}

// The end of the hit of `needle` at visible index `i`, or 0 when there is none.
std::size_t matchAt(std::u16string_view text, std::size_t i, std::size_t limit, const std::vector<char32_t>& needle,
                    bool matchCase)
{
    std::size_t j = i;
    for (const char32_t wanted : needle) {
        // A hit starts at a character, never at an optional hyphen (see FindInStory).
        if (j > i)
            while (j < limit && IsOptionalHyphen(text[j])) ++j;
        if (j >= limit) return 0;
        std::size_t length = 1;
        char32_t c = CodePointAt(text, j, length);
        if (j + length > limit) return 0;
        if (!matchCase) c = FoldForFind(c);
        if (c != wanted) return 0;
        j += length;
    }
    return j;
}

// The code point of the visible text that ends just before `index`,
// optional hyphens passed over; 0 at the start of the text.
char32_t codePointBefore(const StoryText& story, std::int64_t index)
{
    while (index > 0 && IsOptionalHyphen(story.visibleAt(index - 1))) --index;
    if (index == 0) return 0;
    const char32_t c = story.visibleAt(index - 1);
    if (IsLowSurrogate(c) && index >= 2) {
        const char32_t high = story.visibleAt(index - 2);
        if (IsHighSurrogate(high)) return 0x10000 + ((high - 0xD800) << 10) + (c - 0xDC00);
    }
    return c;
}

}  // namespace

char32_t FoldForFind(char32_t c)
{
    switch (c) {
    case 0x2018:
    case 0x2019: return U'\'';
    case 0x201C:
    case 0x201D: return U'"';
    default: return static_cast<char32_t>(u_foldCase(static_cast<UChar32>(c), U_FOLD_CASE_DEFAULT));
    }
}

bool IsWordCharacter(char32_t c) { return (U_GET_GC_MASK(static_cast<UChar32>(c)) & (U_GC_L_MASK | U_GC_N_MASK)) != 0; }

std::u16string AdaptReplacementCase(std::u16string_view found, std::u16string_view replacement)
{
    bool upper = false;
    for (std::size_t i = 0; i < found.size();) {
        std::size_t length = 1;
        const auto c = static_cast<UChar32>(CodePointAt(found, i, length));
        i += length;
        if (u_isULowercase(c)) return std::u16string(replacement);
        upper = upper || u_isUUppercase(c);
    }
    if (!upper) return std::u16string(replacement);
    std::u16string out;
    for (std::size_t i = 0; i < replacement.size();) {
        std::size_t length = 1;
        const auto c = static_cast<char32_t>(u_toupper(static_cast<UChar32>(CodePointAt(replacement, i, length))));
        i += length;
        if (c >= 0x10000) {
            out.push_back(static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10)));
            out.push_back(static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF)));
        } else {
            out.push_back(static_cast<char16_t>(c));
        }
    }
    return out;
}

std::optional<StorySpan> FindInStory(const StoryText& story, std::u16string_view needle, const FindOptions& options,
                                     std::int64_t from, std::int64_t to)
{
    if (needle.empty() || from >= to) return std::nullopt;
    const std::vector<char32_t> wanted = codePointsOf(needle, options.matchCase);
    const std::int64_t first = story.visibleIndexAt(from);
    const std::int64_t limit = story.visibleIndexAt(to);
    if (first >= limit) return std::nullopt;
    // The visible text from `first` on, in one piece; index 0 is `first`.
    const std::u16string_view text = story.visibleFrom(first);
    const auto count = static_cast<std::size_t>(limit - first);

    for (std::size_t i = 0; i < count; ++i) {
        const std::int64_t at = first + static_cast<std::int64_t>(i);
        // Never start in the middle of a surrogate pair, nor at an optional hyphen.
        if (IsOptionalHyphen(text[i])) continue;
        if (at > 0 && IsLowSurrogate(text[i]) && IsHighSurrogate(story.visibleAt(at - 1))) continue;
        const std::size_t end = matchAt(text, i, count, wanted, options.matchCase);
        if (end == 0) continue;
        if (options.matchWholeWord) {
            const bool wordBefore = IsWordCharacter(codePointBefore(story, at));
            std::size_t after = end;
            while (after < text.size() && IsOptionalHyphen(text[after])) ++after;
            std::size_t length = 1;
            const bool wordAfter = after < text.size() && IsWordCharacter(CodePointAt(text, after, length));
            if (wordBefore || wordAfter) continue;
        }
        return StorySpan{story.positionOfVisible(at), story.positionOfVisible(first + static_cast<std::int64_t>(end) - 1) + 1};
    }
    return std::nullopt;
}

}  // namespace tarnwick::word
