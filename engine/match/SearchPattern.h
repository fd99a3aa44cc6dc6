#pragma once
// What the user typed, turned into what the engine matches with: case
// preparation of the search text, word bytes for whole-word matching,
// regular-expression compilation and escape sequences of the replacement.
#include <cstddef>
#include <string>
#include <string_view>

#include <boost/regex.hpp>

#include "platform/Expected.h"

namespace tarnwick {

class CodePage;
struct MatchOptions;

// Word bytes for whole-word matching: A-Z, a-z, 0-9 and 0xC0..0xFF.
inline bool IsWordByte(unsigned char b)
{
    return (b >= 'a' && b <= 'z') || (b >= 'A' && b <= 'Z') || (b >= '0' && b <= '9') || b >= 0xC0;
}

// The search text handed to the worker: a plain text is lowered when case
// does not matter. A regular expression is kept as typed (it is compiled
// with icase instead), since lowering it would turn \W, \S, \D into their
// opposites.
std::string PrepareSearchText(std::string_view typed, const MatchOptions& options, const CodePage& codePage);

// Perl syntax, exceptions on errors, icase when case does not matter.
boost::regex::flag_type SearchRegexFlags(bool matchCase);

// A pattern that does not compile fails as InvalidInput: the library's
// description of the error, and the byte where it gave up when it said.
Expected<boost::regex> CompileRegex(std::string_view pattern, bool matchCase);

// Interprets \\ \a \e \f \n \r \t \v and \xHH in a replacement string.
// With `keepFormat` (the replacement is a Perl format, see
// ReplacementFormat.h), \\, \1..\9, \U, \L, \E, \u and \l stay as typed
// and a '$' or '\' an escape produced is written $$ or \\. A bad escape
// fails as InvalidInput with the message to show.
Expected<std::string> InterpretEscapes(std::string_view s, bool keepFormat = false);

}  // namespace tarnwick
