#include "engine/replace/ExpressionTrial.h"

#include "engine/Messages.h"
#include "engine/job/RunReplacement.h"
#include "engine/job/SearchJob.h"
#include "engine/match/ChunkMatcher.h"
#include "engine/match/PatternCache.h"
#include "engine/match/ReplacementFormat.h"
#include "engine/match/SearchPattern.h"
#include "platform/CodePage.h"

#include <algorithm>
#include <optional>

namespace tarnwick {
namespace {

// The sample laid out as a file read whole is: the byte before it, the
// text, a terminating NUL; the folded copy alike when case does not matter.
class SampleChunk {
public:
    SampleChunk(std::string_view sample, const FilePattern& pattern, bool matchCase, const CodePage& codePage)
        : m_text(sample.size() + 2, '\0')
    {
        std::copy(sample.begin(), sample.end(), m_text.begin() + 1);
        if (matchCase) return;
        m_folded.assign(m_text.size(), '\0');
        if (pattern.utf8)
            CodePage::foldUtf8Text(text(), m_folded.data() + 1, sample.size());
        else
            codePage.foldCase(text(), m_folded.data() + 1, sample.size());
    }

    char* text() { return m_text.data() + 1; }

    ChunkText view()
    {
        ChunkText chunk;
        chunk.text = text();
        chunk.folded = m_folded.empty() ? nullptr : m_folded.data() + 1;
        chunk.length = static_cast<std::int64_t>(m_text.size()) - 2;
        chunk.atFileStart = true;
        return chunk;
    }

private:
    std::string m_text;
    std::string m_folded;
};

// The names of the groups by number. The library keeps only hashes of the
// names, so the candidates are read from the pattern ((?<name>, (?'name',
// (?P<name>) and kept where the compiled expression knows them.
std::vector<std::string> GroupNames(std::string_view pattern, const boost::regex& regex)
{
    std::vector<std::string> names(regex.mark_count() + 1);
    const auto named = regex.get_named_subs();
    if (!named) return names;
    for (std::size_t at = pattern.find("(?"); at != std::string_view::npos; at = pattern.find("(?", at + 2)) {
        std::size_t open = at + 2;
        if (open < pattern.size() && pattern[open] == 'P') ++open;
        if (open >= pattern.size() || (pattern[open] != '<' && pattern[open] != '\'')) continue;
        const std::size_t close = pattern.find(pattern[open] == '<' ? '>' : '\'', open + 1);
        if (close == std::string_view::npos) continue;
        const std::string_view name = pattern.substr(open + 1, close - open - 1);
        // (?<= and (?<! look behind.
        if (name.empty() || name.front() == '=' || name.front() == '!') continue;
        const auto range = named->equal_range(name.data(), name.data() + name.size());
        for (auto it = range.first; it != range.second; ++it) {
            if (it->index > 0 && static_cast<std::size_t>(it->index) < names.size())
                names[static_cast<std::size_t>(it->index)] = std::string(name);
        }
    }
    return names;
}

TrialMatch HitOf(const Occurrence& found, const boost::cmatch& match, const char* text, bool regularExpression,
                 const std::vector<std::string>& names)
{
    TrialMatch hit{found.position, found.length, {}};
    if (!regularExpression) {
        hit.groups.push_back({0, {}, true, found.position, found.length});
        return hit;
    }
    for (std::size_t i = 0; i < match.size(); ++i) {
        TrialGroup group;
        group.number = static_cast<int>(i);
        if (i < names.size()) group.name = names[i];
        group.matched = match[i].matched;
        if (group.matched) {
            group.position = match[i].first - text;
            group.length = match[i].length();
        }
        hit.groups.push_back(std::move(group));
    }
    return hit;
}

// The hits as the search of a file lists them: a plain text goes on behind
// each hit, an expression one byte further after an empty match.
std::vector<TrialMatch> ListHits(ChunkMatcher& matcher, const FilePattern& pattern, const SearchJob& job,
                                 const boost::cmatch& match, const char* text, const std::vector<std::string>& names)
{
    std::vector<TrialMatch> hits;
    const auto searchLength = static_cast<std::int64_t>(pattern.searchBytes.size());
    std::int64_t position = job.regularExpression ? 0 : -searchLength;
    std::int64_t length = 0;
    for (bool first = true;; first = false) {
        std::optional<Occurrence> found;
        if (job.regularExpression)
            found = matcher.findRegex(first ? 0 : position + std::max<std::int64_t>(length, 1));
        else
            found = matcher.findPlain(position + searchLength, job.wholeWords);
        if (!found) return hits;
        position = found->position;
        length = found->length;
        hits.push_back(HitOf(*found, match, text, job.regularExpression, names));
    }
}

// The text as the replace of a file read whole builds it: a search that
// starts right behind a replacement sees the replacement's last byte in
// front of it; when everything before it was replaced by nothing, a plain
// search sees the start of the text and an expression the sample's own byte.
void ReplaceAll(ChunkMatcher& matcher, const SearchJob& job, const boost::cmatch& match, std::string_view sample,
                const std::string& replacement, const CodePage& codePage, ExpressionTrial& trial)
{
    std::string& out = trial.replaced;
    const ReplacementStyle style = ReplacementStyleOf(job, codePage, false);
    std::string filled;
    std::int64_t consumed = 0;
    std::int64_t resume = 0;
    for (;;) {
        const Preceding before = resume == consumed
            ? PrecedingBehindReplacement(out.empty() ? -1 : static_cast<unsigned char>(out.back()), out.empty(),
                                         job.regularExpression)
            : Preceding{};
        const std::optional<Occurrence> found =
            job.regularExpression ? matcher.findRegex(resume, before) : matcher.findPlain(resume, job.wholeWords, before);
        if (!found) break;
        if (found->position > consumed)
            out.append(sample.substr(static_cast<std::size_t>(consumed), static_cast<std::size_t>(found->position - consumed)));
        consumed = std::max(consumed, found->position);
        const auto inserted = static_cast<std::int64_t>(out.size());
        const std::string_view hit =
            sample.substr(static_cast<std::size_t>(found->position), static_cast<std::size_t>(found->length));
        AppendReplacement(style, replacement, hit, match, filled, out);
        trial.replacements.push_back({inserted, static_cast<std::int64_t>(out.size()) - inserted});
        consumed = found->position + found->length;
        resume = found->length == 0 ? consumed + 1 : consumed;
    }
    if (consumed < static_cast<std::int64_t>(sample.size())) out.append(sample.substr(static_cast<std::size_t>(consumed)));
}

}  // namespace

ExpressionTrial TryExpression(std::string_view searchTyped, std::string_view replacementTyped, const SearchJob& job,
                              std::string_view sample, const CodePage& codePage)
{
    ExpressionTrial trial;
    std::vector<std::string> names;
    if (job.regularExpression) {
        const Expected<boost::regex> compiled = CompileRegex(searchTyped, job.matchCase);
        if (!compiled) {
            trial.searchError = std::string(text::kInvalidRegex) + compiled.error().detail;
            trial.errorPosition = compiled.error().position;
            return trial;
        }
        names = GroupNames(searchTyped, compiled.value());
    }
    const Expected<std::string> replacement = PrepareRunReplacement(replacementTyped, searchTyped, job);
    if (!replacement) trial.replacementError = replacement.error().detail;
    if (searchTyped.empty()) {
        if (replacement) trial.replaced = std::string(sample);
        return trial;
    }

    PatternCache patterns(job, codePage, PrepareSearchText(searchTyped, job, codePage));
    // A file in the code page, as the sample is.
    const FilePattern& pattern = patterns.forEncoding(Encoding::Ansi);
    SampleChunk chunk(sample, pattern, job.matchCase, codePage);
    boost::cmatch match;
    ChunkMatcher matcher(job, match);
    matcher.setPattern(&pattern);
    matcher.setChunk(chunk.view());
    trial.matches = ListHits(matcher, pattern, job, match, chunk.text(), names);
    if (!replacement) return trial;
    // A fresh pass, as the replace side reads the file anew.
    matcher.setChunk(chunk.view());
    ReplaceAll(matcher, job, match, sample, replacement.value(), codePage, trial);
    return trial;
}

}  // namespace tarnwick
