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

Failure folderRefusal(const std::string& path, int error, const std::string& reason)
{
    Failure failure = refusal(path + ": " + reason);
    failure.code = ErrnoCode(error);
    return failure;
}

Failure unreadable(const std::string& path, int error)
{
    return folderRefusal(path, error, std::string(text::kCannotReadDirectory) + ": " + TruncateText(SystemErrorText(error)));
}

}  // namespace

Expected<void> CheckSearchText(WorkerCommand command, std::string_view searchText)
{
    if (usesSearchText(command) && searchText.empty()) return refusal(text::kNoSearchText);
    return succeeded();
}

Expected<void> CheckFilesWithoutHits(WorkerCommand command, const SearchJob& job)
{
    if (!job.filesWithoutHits || !usesSearchText(command)) return succeeded();
    if (command == WorkerCommand::Replace) return refusal(text::kWithoutHitsNoReplace);
    // Names are not part of what the option lists: a name hit would list a
    // file that may well hold the text.
    if (!job.searchContents || job.searchFileNames || job.searchDirNames) return refusal(text::kWithoutHitsNeedsContents);
    return succeeded();
}

Expected<void> CheckStartFolder(const std::string& startPath)
{
    if (startPath.empty()) return refusal(text::kNoDirectory);
    struct stat st {};
    if (::stat(startPath.c_str(), &st) != 0) {
        // ENOTDIR: a component on the way is a file, so the folder is not there either.
        if (errno == ENOENT || errno == ENOTDIR) return folderRefusal(startPath, errno, text::kStartFolderMissing);
        return unreadable(startPath, errno);
    }
    if (!S_ISDIR(st.st_mode)) return folderRefusal(startPath, ENOTDIR, text::kStartFolderNotADirectory);
    // The walk lists the folder and looks at each entry in it: both must be allowed.
    const int fd = ::open(startPath.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return unreadable(startPath, errno);
    ::close(fd);
    if (::access(startPath.c_str(), X_OK) != 0) return unreadable(startPath, errno);
    return succeeded();
}

Expected<void> CheckExpression(WorkerCommand command, const SearchJob& job, std::string_view searchText)
{
    if (!usesSearchText(command) || !job.regularExpression) return succeeded();
    const Expected<boost::regex> compiled = CompileRegex(searchText, job.matchCase);
    if (compiled) return succeeded();
    return refusal(text::kInvalidRegex + compiled.error().detail);
}

Expected<void> CheckRunStart(WorkerCommand command, const SearchJob& job, std::string_view searchText,
                             const std::string& startPath)
{
    if (Expected<void> checked = CheckSearchText(command, searchText); !checked) return checked;
    if (Expected<void> checked = CheckFilesWithoutHits(command, job); !checked) return checked;
    if (Expected<void> checked = CheckStartFolder(startPath); !checked) return checked;
    return CheckExpression(command, job, searchText);
}

}  // namespace tarnwick
