#include "engine/match/PatternCache.h"

#include "engine/job/SearchJob.h"
#include "engine/match/RequiredLiteral.h"
#include "engine/match/SearchPattern.h"
#include "platform/CodePage.h"

namespace tarnwick {

PatternCache::PatternCache(const SearchJob& job, const CodePage& codePage, std::string searchText)
    : m_job(job), m_codePage(codePage), m_searchText(std::move(searchText))
{
}

std::unique_ptr<FilePattern> PatternCache::build(bool utf8) const
{
    auto pattern = std::make_unique<FilePattern>();
    pattern->utf8 = utf8 || m_codePage.isUtf8();
    std::string bytes = utf8 ? m_codePage.ansiToUtf8(m_searchText) : m_searchText;
    if (utf8 && !m_job.matchCase && !m_job.regularExpression)
        CodePage::foldUtf8Text(bytes.data(), bytes.data(), bytes.size());
    pattern->searchBytes = bytes;
    if (m_job.regularExpression) {
        CompiledRegex compiled = CompileRegex(bytes, m_job.matchCase != 0);
        pattern->regex = std::move(compiled.regex);
        pattern->regexError = std::move(compiled.error);
        pattern->finder = LiteralFinder(RequiredLiteral(bytes, !m_job.matchCase));
    } else {
        pattern->finder = LiteralFinder(bytes);
        pattern->hitCharacters = static_cast<std::int32_t>(utf8 ? m_codePage.utf8ToAnsiLength(bytes) : bytes.size());
    }
    return pattern;
}

const FilePattern& PatternCache::forEncoding(int encoding)
{
    // Under a UTF-8 code page both variants are the same bytes.
    const bool utf8 = encoding == 4 && !m_codePage.isUtf8();
    std::unique_ptr<FilePattern>& slot = utf8 ? m_utf8 : m_ansi;
    if (!slot) slot = build(utf8);
    return *slot;
}

}  // namespace tarnwick
