#pragma once
// The file-system side of the settings store: reading the file, an advisory
// lock that serialises writers, and replacing the file in one rename.
// Functions report failure by their result and never throw.
#include <sys/stat.h>

#include <optional>
#include <string>
#include <system_error>

#include "platform/Expected.h"

namespace tarnwick::settings {

// The whole file and its status. Empty when it does not exist or is not a
// regular file; `readError` tells a file that exists but could not be read
// (a writer must not replace what it could not see), and why.
struct FileContents {
    bool exists = false;
    std::error_code readError;
    struct stat status {};
    std::string bytes;
};
FileContents ReadProfileFile(const std::string& path);

// Holds an exclusive flock on `<path>.lock` while alive; creates the file's
// directory first. Gives up after a few seconds rather than hang the caller.
class ProfileLock {
public:
    explicit ProfileLock(const std::string& profilePath);
    ~ProfileLock();
    ProfileLock(const ProfileLock&) = delete;
    ProfileLock& operator=(const ProfileLock&) = delete;
    bool isHeld() const { return m_fd >= 0; }
    std::error_code error() const { return m_error; }  // why it is not held

private:
    int m_fd = -1;
    std::error_code m_error;
};

// Writes `contents` as the file `path` points to (through a symbolic link,
// the link stays) with the commit every writer of the program uses: the old
// file's mode, owner, attributes and hard links are kept; a new file is
// readable by its owner only. On failure the old file is untouched.
Expected<void> ReplaceProfileFile(const std::string& path, const std::string& contents);

// The calls the store makes to look at, read and replace the file, in one
// replaceable object, as platform/FileOps.h holds the program's writes: the
// program uses the real calls; a test installs one that fails on purpose (a
// file that even root cannot read), the fuzz target one for a file that no
// other program changes. Installing is not thread-safe.
class ProfileFiles {
public:
    virtual ~ProfileFiles() = default;
    // stat(2) of `path`; false when it cannot be looked at (it is missing, say).
    virtual bool status(const std::string& path, struct stat& out);
    virtual FileContents read(const std::string& path);  // ReadProfileFile
    virtual Expected<void> replace(const std::string& path, const std::string& contents);  // ReplaceProfileFile

    static ProfileFiles& current();
    // Installs `files` (null: the real calls again). The object must outlive its use.
    static void install(ProfileFiles* files);
};

}  // namespace tarnwick::settings
