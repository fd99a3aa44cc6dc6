#include "engine/job/RunReplacement.h"

#include "engine/Messages.h"
#include "engine/job/SearchJob.h"
#include "engine/match/ReplacementFormat.h"
#include "engine/match/SearchPattern.h"

namespace tarnwick {

Expected<std::string> PrepareRunReplacement(std::string_view typed, std::string_view searchText, const SearchJob& job)
{
    const bool captures = UsesCaptures(job);
    std::string text(typed);
    if (job.specialCharacters) {
        Expected<std::string> converted = InterpretEscapes(typed, captures);
        if (!converted) return std::move(converted).error();
        text = std::move(converted).value();
    }
    if (!captures) return text;
    const Expected<boost::regex> compiled = CompileRegex(searchText, job.matchCase);
    if (!compiled) return text;
    return PrepareReplacementFormat(text, compiled.value());
}

ReplacementStyle ReplacementStyleOf(const SearchJob& job, const CodePage& codePage, bool utf8Text)
{
    return {UsesCaptures(job), job.preserveCase, utf8Text ? nullptr : &codePage};
}

}  // namespace tarnwick
