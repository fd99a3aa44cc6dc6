#pragma once
// A byte string that every match of a regular expression must contain, used
// to skip text that cannot match before the expression runs. The answer is
// conservative: it is never wrong to return an empty string.
#include <string>
#include <string_view>

namespace tarnwick {

// The longest run of plain characters at the top level of `pattern` (Perl
// syntax) that every match contains. Empty when there is none, when the
// pattern has a top-level alternation or inline options. With `ignoreCase`
// only ASCII characters are taken, lowered.
std::string RequiredLiteral(std::string_view pattern, bool ignoreCase);

}  // namespace tarnwick
