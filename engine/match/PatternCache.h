#pragma once
// The search text of a run prepared for the files it meets: as plain bytes
// with their finder, or as a compiled regular expression with the literal
// every match contains. Files in the system code page, UTF-8 files and
// UTF-16 files (Utf16Pattern.h) get their own variant, built on first use.
// Belongs to one run on the worker thread; not thread-safe.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include <boost/regex.hpp>

#include "engine/match/Encoding.h"
#include "engine/match/LiteralFinder.h"

namespace tarnwick {

class CodePage;
struct MatchOptions;
struct Utf16Pattern;

struct FilePattern {
    std::string searchBytes;  // the search text as it is searched in these files
    // Plain: the search bytes; expression: its required literal (may be
    // empty). Without case it finds ASCII text in the chunk itself where the
    // folding allows; otherwise it needs the folded copy.
    LiteralFinder finder;
    std::optional<boost::regex> regex;  // set for a regular expression that compiles
    std::string regexError;  // the library's text when it does not
    std::int32_t hitCharacters = 0;  // length of a plain hit in characters of the code page
    bool utf8 = false;  // the file's bytes are UTF-8: fold them as such
    bool lineBound = false;  // no match of the expression holds a CR or LF (see MayCrossLineEnd)
};

class PatternCache {
public:
    // `searchText` is the run string: lowered already unless case matters or
    // it is a regular expression.
    PatternCache(const MatchOptions& options, const CodePage& codePage, std::string searchText);
    ~PatternCache();

    // The variant for a file with this encoding.
    const FilePattern& forEncoding(Encoding encoding);
    // The variant for UTF-16 files, searched as characters.
    const Utf16Pattern& forUtf16();

private:
    std::unique_ptr<FilePattern> build(bool utf8) const;
    LiteralFinder finderFor(const std::string& literal, bool utf8) const;

    const MatchOptions& m_options;
    const CodePage& m_codePage;
    std::string m_searchText;
    std::unique_ptr<FilePattern> m_ansi;
    std::unique_ptr<FilePattern> m_utf8;
    std::unique_ptr<Utf16Pattern> m_utf16;
};

}  // namespace tarnwick
