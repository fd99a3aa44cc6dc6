#include "ui/replacepreview/ChangedStretches.h"

#include <algorithm>
#include <utility>

#include "engine/replace/LineDiff.h"

namespace tarnwick::ui {
namespace {

bool isContinuation(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

bool startsCharacter(std::string_view text, std::size_t at) { return at >= text.size() || !isContinuation(text[at]); }

std::size_t characters(std::string_view text)
{
    return static_cast<std::size_t>(std::count_if(text.begin(), text.end(), [](char c) { return !isContinuation(c); }));
}

bool isWordByte(char c)
{
    const auto b = static_cast<unsigned char>(c);
    // Bytes of multi-byte characters count as letters, so a word never
    // ends inside a character.
    return b >= 0x80 || (b >= '0' && b <= '9') || (b >= 'a' && b <= 'z') || (b >= 'A' && b <= 'Z') || b == '_';
}

// The lengths of the common start and end of `a` and `b`, not overlapping
// and ending on character boundaries.
std::pair<std::size_t, std::size_t> commonEnds(std::string_view a, std::string_view b)
{
    const std::size_t shorter = std::min(a.size(), b.size());
    std::size_t prefix = 0;
    while (prefix < shorter && a[prefix] == b[prefix]) ++prefix;
    while (prefix > 0 && !(startsCharacter(a, prefix) && startsCharacter(b, prefix))) --prefix;
    std::size_t suffix = 0;
    while (suffix < shorter - prefix && a[a.size() - 1 - suffix] == b[b.size() - 1 - suffix]) ++suffix;
    while (suffix > 0 && !startsCharacter(a, a.size() - suffix)) --suffix;
    return {prefix, suffix};
}

// The common start and end cut back to whole words (each ends next to a
// byte that is no letter), so the words between them can be compared.
std::pair<std::size_t, std::size_t> commonWords(std::string_view a, std::string_view b)
{
    auto [prefix, suffix] = commonEnds(a, b);
    while (prefix > 0 && isWordByte(a[prefix - 1])) --prefix;
    while (suffix > 0 && isWordByte(a[a.size() - suffix])) --suffix;
    return {prefix, suffix};
}

// Words, and every other byte as a token of its own.
std::vector<std::string_view> tokens(std::string_view text)
{
    std::vector<std::string_view> out;
    for (std::size_t i = 0; i < text.size();) {
        std::size_t end = i + 1;
        if (isWordByte(text[i]))
            while (end < text.size() && isWordByte(text[end])) ++end;
        out.push_back(text.substr(i, end - i));
        i = end;
    }
    return out;
}

// Offset of token `index` in the text the tokens were cut from.
std::size_t offsetOf(const std::vector<std::string_view>& words, std::size_t index, std::string_view text)
{
    return index < words.size() ? static_cast<std::size_t>(words[index].data() - text.data()) : text.size();
}

// Marks [begin, end) of both texts, narrowed by a common start or end of two
// characters or more ("Beleg" and "Belegdrucker" -> "drucker"); a single
// shared letter ("Beleg" and "Quittung" end in g) would split the word.
void addStretch(std::string_view a, ByteRange inA, std::string_view b, ByteRange inB, ChangedStretches& out)
{
    const std::string_view partA = a.substr(inA.begin, inA.end - inA.begin), partB = b.substr(inB.begin, inB.end - inB.begin);
    auto [prefix, suffix] = commonEnds(partA, partB);
    if (characters(partA.substr(0, prefix)) < 2) prefix = 0;
    if (characters(partA.substr(partA.size() - suffix)) < 2) suffix = 0;
    if (partA.size() > prefix + suffix) out.before.push_back({inA.begin + prefix, inA.end - suffix});
    if (partB.size() > prefix + suffix) out.after.push_back({inB.begin + prefix, inB.end - suffix});
}

}  // namespace

ChangedStretches FindChangedStretches(std::string_view before, std::string_view after)
{
    ChangedStretches out;
    const auto [prefix, suffix] = commonWords(before, after);
    const std::string_view a = before.substr(prefix, before.size() - prefix - suffix);
    const std::string_view b = after.substr(prefix, after.size() - prefix - suffix);
    const std::vector<std::string_view> wordsA = tokens(a), wordsB = tokens(b);
    if (wordsA.size() + wordsB.size() > kMaxComparedWords) {
        addStretch(before, {prefix, prefix + a.size()}, after, {prefix, prefix + b.size()}, out);
        return out;
    }
    for (const DiffBlock& block : DiffLines(wordsA, wordsB)) {
        addStretch(before, {prefix + offsetOf(wordsA, block.beforeBegin, a), prefix + offsetOf(wordsA, block.beforeEnd, a)},
                   after, {prefix + offsetOf(wordsB, block.afterBegin, b), prefix + offsetOf(wordsB, block.afterEnd, b)}, out);
    }
    return out;
}

}  // namespace tarnwick::ui
