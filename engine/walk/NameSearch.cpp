#include "engine/walk/NameSearch.h"

#include "engine/job/RunContext.h"
#include "platform/CodePage.h"

namespace tarnwick {
namespace {

// A name hit counts as a file of its own.
void reportNameHit(RunContext& run, const std::string& path, bool directory)
{
    NameHitEvent hit;
    hit.kind = NameHitKind::Found;
    hit.directory = directory;
    hit.path = path;
    hit.searchLength = static_cast<std::int64_t>(run.searchText.size());
    run.sink.nameHit(hit);
    run.sink.endEntry({0, 1});
}

}  // namespace

bool NameMatches(RunContext& run, std::string_view name)
{
    if (run.job.regularExpression) {
        if (!run.searchRegex) return false;
        return boost::regex_search(name.begin(), name.end(), *run.searchRegex, boost::match_default);
    }
    if (run.job.matchCase) return name.find(run.searchText) != std::string_view::npos;
    std::string& lowered = run.buffers.name;
    lowered.assign(name);
    run.codePage.foldCase(lowered.data(), lowered.data(), lowered.size());
    return lowered.find(run.searchText) != std::string::npos;
}

void CheckFileName(RunContext& run, const std::string& path, std::string_view name)
{
    if (NameMatches(run, name)) reportNameHit(run, path, false);
}

void CheckDirectoryName(RunContext& run, const std::string& path, std::string_view name)
{
    if (NameMatches(run, name)) reportNameHit(run, path, true);
}

}  // namespace tarnwick
