#pragma once
// The search text of a run prepared for UTF-16 files: as units (folded when
// case does not matter) with a finder for their bytes, or as an expression
// that matches characters, not bytes.
#include <optional>
#include <string>

#include <boost/regex/icu.hpp>

#include "engine/match/LiteralFinder.h"

namespace tarnwick {

class CodePage;
struct MatchOptions;

struct Utf16Pattern {
    std::u16string units;  // plain: the search text in this machine's units, folded without case
    LiteralFinder finder;  // the bytes of `units` as they lie in memory
    // Plain text found in the file's own bytes, without decoding: the units'
    // bytes little-endian and big-endian. Set when case matters or the text
    // is ASCII (no other character folds to ASCII, so A-Z is all of case).
    bool searchesBytes = false;
    LiteralFinder littleEndian;
    LiteralFinder bigEndian;
    std::optional<boost::u32regex> regex;  // set for a regular expression that compiles
    std::string regexError;
    // An ASCII literal every match contains, found in the file's bytes
    // (without case when case does not matter), and whether the expression
    // can be run on the line around it alone.
    LiteralFinder requiredLittle;
    LiteralFinder requiredBig;
    bool lineBound = false;
};

// `searchText` is the run string (lowered already when case does not matter
// and it is no expression).
Utf16Pattern BuildUtf16Pattern(const MatchOptions& options, const CodePage& codePage, const std::string& searchText);

}  // namespace tarnwick
