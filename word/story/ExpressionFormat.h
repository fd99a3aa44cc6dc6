#pragma once
// A replacement in Perl's format ($0, $1, ${name}, \U..\E, \u ...) filled in
// from a match of an expression over UTF-16 text (Boost.Regex with ICU,
// which reads the units as code points). The library formats only matches
// whose iterators give code points, so the match is kept in those; case
// changes follow ICU's case mapping, so letters beyond ASCII change too.
// Shared by documents, UTF-16 files and the viewer, so that each fills in a
// replacement as the others do.
#include <boost/regex/icu.hpp>

#include <iterator>
#include <string>
#include <string_view>
#include <vector>

namespace tarnwick::word {

template <class Units>
using CodePointIterator = boost::u16_to_u32_iterator<Units, UChar32>;
template <class Units>
using CodePointMatch = boost::match_results<CodePointIterator<Units>>;
// A format as the library reads it.
using FormatCodePoints = std::vector<UChar32>;

FormatCodePoints ToFormatCodePoints(std::u16string_view format);

// As boost::u32regex_search over the units [first, last) of a text that
// starts at `base`, with the match left in code-point iterators.
template <class Units>
bool SearchCodePoints(Units first, Units last, CodePointMatch<Units>& match, const boost::u32regex& regex,
                      boost::match_flag_type flags, Units base)
{
    using Iterator = CodePointIterator<Units>;
    return boost::regex_search(Iterator(first, first, last), Iterator(last, first, last), match, regex, flags, Iterator(base));
}

// Appends `format` filled in from `match` (found with `regex`) to `out`.
template <class Units>
void AppendExpressionFormat(const CodePointMatch<Units>& match, const FormatCodePoints& format, const boost::u32regex& regex,
                            std::u16string& out)
{
    match.format(boost::utf16_output_iterator<std::back_insert_iterator<std::u16string>>(std::back_inserter(out)), format,
                 boost::format_perl, regex);
}

}  // namespace tarnwick::word
