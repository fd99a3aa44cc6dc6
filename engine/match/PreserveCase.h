#pragma once
// "Schreibweise der Treffer übernehmen" for every replace path: the
// replacement of a hit takes the hit's case (rules in word/story/HitCase.h).
// It applies whether or not the search minds case; with a case-sensitive
// plain search every hit is typed as the search text, so only expressions
// then see hits in several cases. With "Rückverweise im Ersetzungstext" the
// groups are filled in first and the hit's case applies to the result.
//
// Letters beyond ASCII: UTF-8 text through ICU's case mapping, text in a
// single-byte code page through that code page's own letter pairs (those of
// the case-insensitive search), UTF-16 text through ICU. Nothing is
// allocated beyond the growth of `out`.
#include <string>
#include <string_view>

#include <boost/regex.hpp>

namespace tarnwick {

class CodePage;

// Appends `replacement` to `out` in the case of `hit`, both UTF-8.
void AppendCasePreserved(std::string_view hit, std::string_view replacement, std::string& out);
// The same for text in `codePage` (UTF-8 when the code page is).
void AppendCasePreserved(std::string_view hit, std::string_view replacement, const CodePage& codePage, std::string& out);
// The same for UTF-16 text.
void AppendCasePreserved(std::u16string_view hit, std::u16string_view replacement, std::u16string& out);

// How a replace path of byte text makes each hit's replacement.
struct ReplacementStyle {
    bool captures = false;  // the replacement is a format filled in from each match
    bool preserveCase = false;
    const CodePage* singleByte = nullptr;  // the code page of text that is not UTF-8; null: UTF-8
};

// Appends the replacement of `hit` to `out`: `replacement` as it is, or
// filled in from `match` with captures, then in the hit's case with
// preserveCase. `scratch` holds the filled-in text before its case changes.
void AppendReplacement(const ReplacementStyle& style, const std::string& replacement, std::string_view hit,
                       const boost::cmatch& match, std::string& scratch, std::string& out);

}  // namespace tarnwick
