#pragma once
// Whether a regular expression can be run on the line around a candidate
// instead of the whole text. The answer is conservative: it is never wrong
// to say that an expression may cross a line end.
#include <string_view>

namespace tarnwick {

// False only when `pattern` (Perl syntax as Boost.Regex reads it, without
// inline options) provably matches neither CR nor LF anywhere, lookaheads
// included, and has no construct that looks further than the bytes next to
// its match or at where the search began (lookbehind, back-references, \A,
// \G, \Z, \K, ...). Such an expression gives the same match on a line,
// with the bytes around it available, as on the whole text.
bool MayCrossLineEnd(std::string_view pattern);

}  // namespace tarnwick
