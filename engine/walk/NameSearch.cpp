#include "engine/walk/NameSearch.h"

#include "engine/Messages.h"
#include "engine/job/RunContext.h"
#include "platform/CodePage.h"
#include "results/ResultList.h"

namespace tarnwick {
namespace {

void reportNameHit(RunContext& run, const std::string& path, ItemKind kind, const char* reason)
{
    run.sink.AddCounts(0, 1);
    run.sink.LogNameHitLine(reason, path);
    const ItemHandle item = run.sink.AddFileItem(path, kind);
    run.sink.SetItemColumnText(item, reason, ResultColumn::Remark);
    run.sink.SetItemDataValue(item, static_cast<std::int64_t>(run.searchText.size()));
    run.sink.ScrollToItem(item);
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
    if (NameMatches(run, name)) reportNameHit(run, path, ItemKind::FileNameHit, text::kFoundInFileName);
}

void CheckDirectoryName(RunContext& run, const std::string& path, std::string_view name)
{
    if (NameMatches(run, name)) reportNameHit(run, path, ItemKind::DirNameHit, text::kFoundInDirName);
}

}  // namespace tarnwick
