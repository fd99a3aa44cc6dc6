#include "platform/FileWrite.h"

#include "platform/FileCommit.h"
#include "platform/InputFile.h"
#include "platform/OutputFile.h"
#include "platform/SystemError.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>

namespace tarnwick {
namespace {

std::error_code writeNewFile(const std::string& path, std::string_view contents, mode_t mode)
{
    std::string folder, name;
    SplitFolderAndName(path, folder, name);
    OutputFile temp;
    if (const std::error_code error = temp.createTemporaryAt(folder, name)) return error;
    const mode_t mask = ::umask(0);
    ::umask(mask);
    std::error_code error = temp.append(contents.data(), contents.size());
    if (!error && ::fchmod(temp.descriptor(), mode & ~mask & 07777) != 0) error = LastErrnoCode();
    if (!error) error = temp.sync();
    if (error) return error;
    // A name another program took meanwhile is not replaced.
    if (temp.hasName()) {
        if (::renameat2(temp.folderDescriptor(), temp.name().c_str(), temp.folderDescriptor(), name.c_str(), RENAME_NOREPLACE) !=
            0)
            return LastErrnoCode();
    } else if (const std::error_code linkError = temp.giveName(name)) {
        return linkError;
    }
    temp.markInstalled();
    SyncFolder(temp.folderPath());
    return {};
}

}  // namespace

std::error_code WriteFileContents(const std::string& path, std::string_view contents, mode_t newMode)
{
    InputFile file;
    const std::error_code openError = file.open(path, InputFile::Mode::Replace, InputFile::Links::Follow);
    if (openError == std::errc::no_such_file_or_directory) {
        struct stat st {};
        // A dangling link is not followed into a place its target names.
        if (::lstat(path.c_str(), &st) == 0) return openError;
        return writeNewFile(path, contents, newMode);
    }
    if (openError) return openError;
    // What a rewrite in place puts back when a write fails halfway.
    std::string previous(file.size(), '\0');
    const Expected<std::size_t> got = file.readAt(0, previous.data(), previous.size());
    if (!got) return got.error().code;
    previous.resize(got.value());
    return CommitContents(file, contents, previous);
}

}  // namespace tarnwick
