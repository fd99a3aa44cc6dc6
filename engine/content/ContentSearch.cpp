#include "engine/content/ContentSearch.h"

#include "engine/Messages.h"
#include "engine/content/FileBuffer.h"
#include "engine/job/EntryCounts.h"
#include "engine/job/RunContext.h"
#include "engine/job/RunReports.h"
#include "engine/match/SearchPattern.h"
#include "platform/OpenFolder.h"
#include "platform/SystemError.h"
#include "results/ResultList.h"

#include <system_error>

namespace tarnwick {
namespace {

void reportHit(RunContext& run, FileBuffer& buffer, const std::string& path, std::int64_t offset)
{
    HitEvent hit;
    hit.path = path;
    hit.position = offset;
    hit.length = buffer.hitLength();
    hit.context = buffer.context();
    hit.highlightStart = buffer.highlightOffset();
    hit.highlightLength = buffer.hitCharacters();
    run.sink.hit(hit);
}

}  // namespace

void SearchFileContents(RunContext& run, const std::string& path, FileLocation location)
{
    if (run.stopRequested()) return;
    FileBuffer buffer(run);
    std::error_code error =
        location.folderFd >= 0 ? buffer.OpenInFolder(location.folderFd, path.c_str() + location.nameOffset) : buffer.Open(path);
    // The folder kept open may hold the last descriptor the file needs.
    const bool outOfDescriptors = error == std::errc::too_many_files_open || error == std::errc::too_many_files_open_in_system;
    if (outOfDescriptors && location.keptFolder) {
        location.keptFolder->close();
        error = buffer.Open(path);
    }
    if (error) {
        ReportCannotOpen(run, path, error);
        return;
    }
    std::optional<std::int64_t> offset = buffer.FindFirst();
    if (run.job.filesWithoutHits) {
        // One hit settles it; a file a stop cut short was not searched to its end.
        if (offset || run.stopRequested()) return;
        ReportFileWithoutHits(run, {path, EntryKind::File, EncodingCode(buffer.GetEncoding())});
        return;
    }
    if (!offset) return;

    run.sink.beginEntry({path, EntryKind::File, EncodingCode(buffer.GetEncoding())});
    EntryCounts counts(run.sink);
    reportHit(run, buffer, path, *offset);
    counts.addHit();
    counts.addFile();
    while (!run.stopRequested()) {
        offset = buffer.FindNext();
        if (!offset) break;
        reportHit(run, buffer, path, *offset);
        counts.addHit();
    }
}

bool CompileSearchRegex(RunContext& run)
{
    CompiledRegex compiled = CompileRegex(run.searchText, run.job.matchCase);
    run.searchRegex = std::move(compiled.regex);
    if (run.searchRegex) return true;
    ReportInvalidExpression(run, compiled.error);
    return false;
}

}  // namespace tarnwick
