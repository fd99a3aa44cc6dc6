#include "engine/job/RunReplacement.h"

#include "engine/Messages.h"
#include "engine/job/SearchJob.h"
#include "engine/match/ReplacementFormat.h"
#include "engine/match/SearchPattern.h"

namespace tarnwick {

RunReplacement PrepareRunReplacement(std::string_view typed, std::string_view searchText, const SearchJob& job)
{
    RunReplacement result;
    const bool captures = UsesCaptures(job);
    if (job.specialCharacters) {
        Expected<std::string> converted = InterpretEscapes(typed, captures);
        if (!converted) return {false, {}, std::move(converted).error().detail};
        result.text = std::move(converted).value();
    } else {
        result.text = std::string(typed);
    }
    if (!captures) return result;
    const Expected<boost::regex> compiled = CompileRegex(searchText, job.matchCase);
    if (!compiled) return result;
    ReplacementFormat format = PrepareReplacementFormat(result.text, compiled.value());
    if (!format.error.empty()) return {false, {}, std::move(format.error)};
    result.text = std::move(format.format);
    return result;
}

ReplacementStyle ReplacementStyleOf(const SearchJob& job, const CodePage& codePage, bool utf8Text)
{
    return {UsesCaptures(job), job.preserveCase, utf8Text ? nullptr : &codePage};
}

}  // namespace tarnwick
