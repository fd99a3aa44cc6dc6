#include "engine/worker/RunStart.h"

#include "engine/Messages.h"
#include "engine/job/SearchJob.h"
#include "engine/match/SearchPattern.h"
#include "engine/worker/SearchWorker.h"
#include "platform/SystemError.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace tarnwick {
namespace {

bool usesSearchText(WorkerCommand command) { return command == WorkerCommand::Search || command == WorkerCommand::Replace; }

StartRefusal unreadable(const std::string& path, int error)
{
    return {path, std::string(text::kCannotReadDirectory) + ": " + TruncateText(SystemErrorText(error))};
}

}  // namespace

std::string StartRefusal::message() const { return path.empty() ? reason : path + ": " + reason; }

std::optional<StartRefusal> CheckSearchText(WorkerCommand command, std::string_view searchText)
{
    if (usesSearchText(command) && searchText.empty()) return StartRefusal{{}, text::kNoSearchText};
    return std::nullopt;
}

std::optional<StartRefusal> CheckFilesWithoutHits(WorkerCommand command, const SearchJob& job)
{
    if (!job.filesWithoutHits || !usesSearchText(command)) return std::nullopt;
    if (command == WorkerCommand::Replace) return StartRefusal{{}, text::kWithoutHitsNoReplace};
    // Names are not part of what the option lists: a name hit would list a
    // file that may well hold the text.
    if (!job.searchContents || job.searchFileNames || job.searchDirNames)
        return StartRefusal{{}, text::kWithoutHitsNeedsContents};
    return std::nullopt;
}

std::optional<StartRefusal> CheckStartFolder(const std::string& startPath)
{
    if (startPath.empty()) return StartRefusal{{}, text::kNoDirectory};
    struct stat st {};
    if (::stat(startPath.c_str(), &st) != 0) {
        // ENOTDIR: a component on the way is a file, so the folder is not there either.
        if (errno == ENOENT || errno == ENOTDIR) return StartRefusal{startPath, text::kStartFolderMissing};
        return unreadable(startPath, errno);
    }
    if (!S_ISDIR(st.st_mode)) return StartRefusal{startPath, text::kStartFolderNotADirectory};
    // The walk lists the folder and looks at each entry in it: both must be allowed.
    const int fd = ::open(startPath.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return unreadable(startPath, errno);
    ::close(fd);
    if (::access(startPath.c_str(), X_OK) != 0) return unreadable(startPath, errno);
    return std::nullopt;
}

std::optional<StartRefusal> CheckExpression(WorkerCommand command, const SearchJob& job, std::string_view searchText)
{
    if (!usesSearchText(command) || !job.regularExpression) return std::nullopt;
    const Expected<boost::regex> compiled = CompileRegex(searchText, job.matchCase);
    if (compiled) return std::nullopt;
    return StartRefusal{{}, text::kInvalidRegex + compiled.error().detail};
}

std::optional<StartRefusal> CheckRunStart(WorkerCommand command, const SearchJob& job, std::string_view searchText,
                                          const std::string& startPath)
{
    if (auto refusal = CheckSearchText(command, searchText)) return refusal;
    if (auto refusal = CheckFilesWithoutHits(command, job)) return refusal;
    if (auto refusal = CheckStartFolder(startPath)) return refusal;
    return CheckExpression(command, job, searchText);
}

}  // namespace tarnwick
