#pragma once
// "Schreibweise der Treffer übernehmen": the replacement of a hit takes the
// hit's case. A hit in capitals gets the replacement in capitals, a hit whose
// first character is its only capital gets the replacement with its first
// character a capital (the rest as typed), a hit in small letters gets it in
// small letters; any other hit, and a hit without letters, gets it as typed.
// When hit and replacement are both parts joined by '-' (or '_'), the same
// number of parts on either side, each part follows its counterpart.
//
// One algorithm for every kind of text; a `Letters` type says how its units
// are read as characters and how a character changes case:
//   using Unit; static UChar32 next(std::basic_string_view<Unit>, std::size_t& i)
//   (-1 for a unit that is no character); UChar32 upper(UChar32), lower(UChar32);
//   static void append(UChar32, std::basic_string<Unit>&).
// A letter is a character whose other case differs, so the text's own
// mapping decides. Nothing is allocated beyond the growth of `out`.
#include <unicode/uchar.h>
#include <unicode/umachine.h>
#include <unicode/utf16.h>
#include <unicode/utf8.h>

#include <cstddef>
#include <string>
#include <string_view>

namespace tarnwick::word {

enum class HitCase { AsTyped, Upper, Lower, Capitalized };

// The letters of UTF-8 (`char`) or UTF-16 (`char16_t`) text, with ICU's
// simple case mapping (one code point for one). A unit that is no character
// (ill-formed UTF-8: -1; an unpaired surrogate: itself) has no case.
template <class UnitType>
struct UnicodeLetters {
    using Unit = UnitType;
    static UChar32 next(std::basic_string_view<Unit> text, std::size_t& i)
    {
        UChar32 c = 0;
        if constexpr (sizeof(Unit) == 1)
            U8_NEXT(text.data(), i, text.size(), c);
        else
            U16_NEXT(text.data(), i, text.size(), c);
        return c;
    }
    UChar32 upper(UChar32 c) const { return u_toupper(c); }
    UChar32 lower(UChar32 c) const { return u_tolower(c); }
    static void append(UChar32 c, std::basic_string<Unit>& out)
    {
        Unit units[4];
        std::size_t n = 0;
        if constexpr (sizeof(Unit) == 1)
            U8_APPEND_UNSAFE(units, n, c);
        else
            U16_APPEND_UNSAFE(units, n, c);
        out.append(units, n);
    }
};

template <class Letters>
HitCase CaseOfHit(std::basic_string_view<typename Letters::Unit> hit, const Letters& letters)
{
    std::size_t capitals = 0;
    std::size_t smalls = 0;
    bool firstIsCapital = false;
    for (std::size_t i = 0; i < hit.size();) {
        const bool first = i == 0;
        const UChar32 c = Letters::next(hit, i);
        if (c < 0) continue;
        const bool capital = letters.lower(c) != c;
        const bool small = letters.upper(c) != c;
        if (first) firstIsCapital = capital;
        capitals += capital ? 1 : 0;
        smalls += small ? 1 : 0;
    }
    if (capitals == 0 && smalls == 0) return HitCase::AsTyped;
    if (smalls == 0) return HitCase::Upper;
    if (capitals == 0) return HitCase::Lower;
    if (firstIsCapital && capitals == 1) return HitCase::Capitalized;
    return HitCase::AsTyped;
}

template <class Letters>
void AppendInCase(HitCase hitCase, std::basic_string_view<typename Letters::Unit> text, const Letters& letters,
                  std::basic_string<typename Letters::Unit>& out)
{
    if (hitCase == HitCase::AsTyped) {
        out.append(text);
        return;
    }
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t start = i;
        const UChar32 c = Letters::next(text, i);
        const UChar32 changed = c < 0 ? c : hitCase == HitCase::Lower ? letters.lower(c) : letters.upper(c);
        if (changed == c)
            out.append(text.substr(start, i - start));
        else
            Letters::append(changed, out);
        if (hitCase == HitCase::Capitalized) {
            out.append(text.substr(i));
            return;
        }
    }
}

template <class Unit>
bool JoinsSameParts(std::basic_string_view<Unit> hit, std::basic_string_view<Unit> replacement, Unit joint)
{
    std::size_t inHit = 0;
    std::size_t inReplacement = 0;
    for (const Unit u : hit) inHit += u == joint ? 1 : 0;
    for (const Unit u : replacement) inReplacement += u == joint ? 1 : 0;
    return inHit > 0 && inHit == inReplacement;
}

template <class Letters>
void AppendHitCase(std::basic_string_view<typename Letters::Unit> hit, std::basic_string_view<typename Letters::Unit> replacement,
                   const Letters& letters, std::basic_string<typename Letters::Unit>& out)
{
    using Unit = typename Letters::Unit;
    using View = std::basic_string_view<Unit>;
    const bool hyphens = JoinsSameParts(hit, replacement, static_cast<Unit>('-'));
    const bool underscores = JoinsSameParts(hit, replacement, static_cast<Unit>('_'));
    if (hyphens == underscores) {
        AppendInCase(CaseOfHit(hit, letters), replacement, letters, out);
        return;
    }
    const auto joint = static_cast<Unit>(hyphens ? '-' : '_');
    for (;;) {
        const std::size_t hitEnd = hit.find(joint);
        const std::size_t partEnd = replacement.find(joint);
        AppendInCase(CaseOfHit(View(hit.substr(0, hitEnd)), letters), View(replacement.substr(0, partEnd)), letters, out);
        if (partEnd == View::npos) return;
        out.push_back(joint);
        hit.remove_prefix(hitEnd + 1);
        replacement.remove_prefix(partEnd + 1);
    }
}

// Appends `replacement` to `out` in the case of `hit`, both UTF-16 text
// (ICU's simple case mapping).
void AppendHitCaseUtf16(std::u16string_view hit, std::u16string_view replacement, std::u16string& out);

}  // namespace tarnwick::word
