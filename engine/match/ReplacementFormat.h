#pragma once
// The replacement text as a Perl format ("Rückverweise im Ersetzungstext",
// with a regular expression only): $0 / $&, $1..$99, ${n}, ${name}, \1..\9,
// $$ and the case changes \U..\E, \L..\E, \u, \l take their meaning from each
// match. Boost.Regex's Perl formatting fills them in; this file only checks a
// template against the expression before a run and writes ${name} the way
// the library reads it ($+{name}), and \u\L / \l\U the way Perl reads them
// (\L\u, \U\l). One difference to Perl stays: a \u or \l whose group is
// empty in a match is still pending when the next \u or \l comes, and
// the library then keeps changing case after it.
//
// Order with "Sonderzeichen interpretieren": the escapes are interpreted
// first (InterpretEscapes with `keepFormat`), which leaves \\, \1..\9, \U,
// \L, \E, \u and \l as typed for the format and writes a '$' or '\' that an
// escape such as \x24 produced as $$ or \\, so that it stays literal. The
// format then runs on the result, for every match.
#include <iterator>
#include <string>
#include <string_view>

#include <boost/regex.hpp>

#include "platform/Expected.h"

namespace tarnwick {

struct MatchOptions;

// Checks every reference of `typed` (escapes already interpreted) against
// the groups of `regex`: a group number beyond its groups, an unclosed ${,
// an unknown ${name}, and $` / $' (whose text would depend on where the
// engine happened to start searching) are refused: the failure's detail
// names the bad reference (German). Gives the template as Boost.Regex reads it.
Expected<std::string> PrepareReplacementFormat(std::string_view typed, const boost::regex& regex);

// Appends the replacement for `match` to `out`; no allocation beyond the
// growth of `out` (the format is read in place up to its terminating NUL;
// a replacement never holds a NUL: \0 and \x00 are refused).
inline void AppendFormatted(const boost::cmatch& match, const std::string& format, std::string& out)
{
    match.format(std::back_inserter(out), format.c_str(), boost::format_perl);
}

}  // namespace tarnwick
