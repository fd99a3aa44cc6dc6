#include "engine/replace/Renaming.h"

#include "engine/Messages.h"
#include "engine/job/RunContext.h"
#include "engine/job/RunReplacement.h"
#include "engine/job/RunReports.h"
#include "engine/job/SearchJob.h"
#include "engine/log/RunLog.h"
#include "engine/replace/ChangePreview.h"
#include "engine/replace/JournalHooks.h"
#include "engine/walk/NameSearch.h"
#include "engine/walk/TreeWalk.h"
#include "platform/CodePage.h"
#include "platform/FileOps.h"
#include "platform/SystemError.h"
#include "results/ResultList.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstdio>

namespace tarnwick {
namespace {

std::string replaceRegex(RunContext& run, std::string_view name)
{
    if (!run.searchRegex) return std::string(name);
    std::string out;
    const char* const begin = name.data();
    const char* const end = begin + name.size();
    const char* position = begin;
    boost::cmatch match;
    const ReplacementStyle style = ReplacementStyleOf(run.job, run.codePage, false);
    std::string filled;
    while (position <= end) {
        auto flags = boost::match_default;
        if (position > begin) flags |= boost::match_prev_avail;
        if (!boost::regex_search(position, end, match, *run.searchRegex, flags)) break;
        out.append(position, match[0].first);
        AppendReplacement(style, run.replacementText, std::string_view(match[0].first, match[0].second), match, filled, out);
        position = match[0].second;
        // After an empty match the search goes on one byte further.
        if (match[0].first == match[0].second) {
            if (position == end) break;
            out.push_back(*position++);
        }
    }
    if (position < end) out.append(position, end);
    return out;
}

std::string replacePlain(RunContext& run, std::string_view name)
{
    const std::string& search = run.searchText;
    if (search.empty()) return std::string(name);
    // Found in the folded copy (same length), copied from the name itself.
    const std::string folded = run.job.matchCase ? std::string(name) : run.codePage.lower(name);
    std::string out;
    std::size_t position = 0;
    for (std::size_t found = folded.find(search); found != std::string::npos; found = folded.find(search, position)) {
        out.append(name.substr(position, found - position));
        if (run.job.preserveCase)
            AppendCasePreserved(name.substr(found, search.size()), run.replacementText, run.codePage, out);
        else
            out.append(run.replacementText);
        position = found + search.size();
    }
    out.append(name.substr(position));
    return out;
}

}  // namespace

std::string ReplaceInName(RunContext& run, std::string_view name)
{
    return run.job.regularExpression ? replaceRegex(run, name) : replacePlain(run, name);
}

bool IsUsableEntryName(std::string_view name)
{
    return !name.empty() && name != "." && name != ".." && name.find('/') == std::string_view::npos;
}

std::error_code RenameEntry(const std::string& directory, const std::string& name, const std::string& newName)
{
    if (!IsUsableEntryName(newName)) return ErrnoCode(EINVAL);
    if (newName == name) return {};
    std::string from, to;
    JoinPath(from, directory, name);
    JoinPath(to, directory, newName);
    // An existing entry is never replaced by a rename.
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return {};
    if (errno != EINVAL && errno != ENOSYS) return LastErrnoCode();
    struct stat st {};
    // Only a case change may find "itself" under the new name.
    if (::lstat(to.c_str(), &st) == 0) return ErrnoCode(EEXIST);
    return FileOps::current().rename(from.c_str(), to.c_str());
}

namespace {

// A name hit of a replace run: logged and listed before the rename is
// tried, so a failing rename leaves them and adds its own error item. Only a
// name that was changed is counted.
void renameHit(RunContext& run, const std::string& directory, const std::string& name, bool isDirectory)
{
    if (!NameMatches(run, name)) return;
    std::string path;
    JoinPath(path, directory, name);
    NameHitEvent hit;
    hit.kind = NameHitKind::Renamed;
    hit.directory = isDirectory;
    hit.path = path;
    run.sink.nameHit(hit);
    const std::string newName = ReplaceInName(run, name);
    if (const std::error_code error =
            run.preview ? run.preview->rename(directory, name, newName) : JournaledRename(run, directory, name, newName)) {
        ReportRenameFailure(run, path, error);
        return;
    }
    run.sink.committed({CommitKind::Name, path, 0});
}

}  // namespace

void RenameFileName(RunContext& run, const std::string& directory, const std::string& name)
{
    renameHit(run, directory, name, false);
}

void RenameCollectedDirectories(RunContext& run, const std::string& directory, const std::vector<std::string>& names)
{
    for (const std::string& name : names) {
        if (run.stopRequested()) return;
        renameHit(run, directory, name, true);
    }
}

}  // namespace tarnwick
