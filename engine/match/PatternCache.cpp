#include "engine/match/PatternCache.h"

#include "engine/match/LineBound.h"
#include "engine/match/MatchOptions.h"
#include "engine/match/RequiredLiteral.h"
#include "engine/match/SearchPattern.h"
#include "engine/match/Utf16Pattern.h"
#include "platform/CodePage.h"

namespace tarnwick {

PatternCache::PatternCache(const MatchOptions& options, const CodePage& codePage, std::string searchText)
    : m_options(options), m_codePage(codePage), m_searchText(std::move(searchText))
{
}

PatternCache::~PatternCache() = default;

// The finder for `literal`: without case and for folded ASCII, one that
// compares the chunk's own bytes, provided folding relates ASCII bytes only
// to each other (then a folded chunk holds `literal` exactly where the chunk
// holds it in any case).
LiteralFinder PatternCache::finderFor(const std::string& literal, bool utf8) const
{
    const bool asciiApart = utf8 || m_codePage.hasSeparateAsciiFold();
    if (!m_options.matchCase && asciiApart && LiteralFinder::isFoldedAscii(literal))
        return LiteralFinder(literal, LiteralFinder::Case::AsciiInsensitive);
    return LiteralFinder(literal);
}

std::unique_ptr<FilePattern> PatternCache::build(bool utf8) const
{
    auto pattern = std::make_unique<FilePattern>();
    pattern->utf8 = utf8 || m_codePage.isUtf8();
    std::string bytes = utf8 ? m_codePage.ansiToUtf8(m_searchText) : m_searchText;
    if (utf8 && !m_options.matchCase && !m_options.regularExpression)
        CodePage::foldUtf8Text(bytes.data(), bytes.data(), bytes.size());
    pattern->searchBytes = bytes;
    if (m_options.regularExpression) {
        Expected<boost::regex> compiled = CompileRegex(bytes, m_options.matchCase);
        if (compiled)
            pattern->regex = std::move(compiled).value();
        else
            pattern->regexError = std::move(compiled).error().detail;
        pattern->finder = finderFor(RequiredLiteral(bytes, !m_options.matchCase), pattern->utf8);
        pattern->lineBound = !MayCrossLineEnd(bytes);
    } else {
        pattern->finder = finderFor(bytes, pattern->utf8);
        pattern->hitCharacters = static_cast<std::int32_t>(utf8 ? m_codePage.utf8ToAnsiLength(bytes) : bytes.size());
    }
    return pattern;
}

const FilePattern& PatternCache::forEncoding(Encoding encoding)
{
    // Under a UTF-8 code page both variants are the same bytes.
    const bool utf8 = encoding == Encoding::Utf8 && !m_codePage.isUtf8();
    std::unique_ptr<FilePattern>& slot = utf8 ? m_utf8 : m_ansi;
    if (!slot) slot = build(utf8);
    return *slot;
}

const Utf16Pattern& PatternCache::forUtf16()
{
    if (!m_utf16) m_utf16 = std::make_unique<Utf16Pattern>(BuildUtf16Pattern(m_options, m_codePage, m_searchText));
    return *m_utf16;
}

}  // namespace tarnwick
