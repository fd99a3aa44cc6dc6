#include "engine/replace/BackupCopy.h"

#include "engine/Messages.h"
#include "engine/job/RunContext.h"
#include "engine/job/RunReports.h"
#include "engine/replace/ChangePreview.h"
#include "engine/replace/JournalHooks.h"
#include "platform/FileCommit.h"
#include "platform/InputFile.h"
#include "platform/SystemError.h"
#include "results/ResultList.h"

#include <sys/stat.h>

#include <cerrno>

namespace tarnwick {
namespace {

bool exists(const std::string& path)
{
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0;
}

std::string numberedName(const std::string& path, int counter, const std::string& extension)
{
    return path + " (" + std::to_string(counter) + ")" + extension;
}

}  // namespace

std::string BackupName(const std::string& path, const std::string& extension)
{
    std::string name = path + extension;
    for (int counter = 1; exists(name); ++counter) name = numberedName(path, counter, extension);
    return name;
}

bool MakeBackupCopy(RunContext& run, const InputFile& file, const std::string& path)
{
    try {
        const std::string& extension = run.job.backupExtension;
        std::string name = BackupName(path, extension);
        if (run.preview) {
            run.preview->backup(path, name);
            return true;
        }
        Digest digest;
        std::error_code error = CopyToNewFile(file, name, &digest);
        // Another program may have taken the name meanwhile: try the next one.
        for (int counter = 1; error.value() == EEXIST && counter < 10'000; ++counter) {
            name = BackupName(path, extension);
            error = CopyToNewFile(file, name, &digest);
        }
        if (!error) {
            JournalBackup(run, file, name, digest);
            return true;
        }
        ReportBackupFailure(run, path, error);
    } catch (...) {
        ReportBackupException(run, path);
    }
    return false;
}

bool MakeBackupCopyOfPath(RunContext& run, const std::string& path)
{
    InputFile file;
    // Opened as for a replace, so that the journal knows the copy by the file's real path.
    if (const std::error_code error = file.open(path, InputFile::Mode::Replace)) {
        ReportBackupFailure(run, path, error);
        return false;
    }
    return MakeBackupCopy(run, file, path);
}

}  // namespace tarnwick
