#pragma once
// The system calls through which the program changes files. Production code
// uses the real calls; tests install a replacement that fails on purpose
// (disk full, I/O error, a rename that is refused) to prove that a failure
// loses nothing. Installing is not thread-safe; tests do it before a run.
#include <sys/types.h>

#include <cstddef>
#include <system_error>

#include "platform/Expected.h"

namespace tarnwick {

class FileOps {
public:
    virtual ~FileOps() = default;
    // Writes up to `size` bytes at `offset`; gives how many were written.
    virtual Expected<std::size_t> pwrite(int fd, const void* data, std::size_t size, off_t offset);
    virtual std::error_code allocate(int fd, off_t length);  // make room for `length` bytes
    virtual std::error_code truncate(int fd, off_t length);
    virtual std::error_code rename(const char* from, const char* to);
    // The same between names in open folders (the last components not followed).
    virtual std::error_code renameAt(int fromFolder, const char* from, int toFolder, const char* to);
    virtual std::error_code sync(int fd);  // hand the file's contents to the disk

    static FileOps& current();
    // Installs `ops` (null: the real calls again). The object must outlive its use.
    static void install(FileOps* ops);
};

// Writes all of `data` at `offset`.
std::error_code WriteAllAt(int fd, const char* data, std::size_t size, off_t offset);

// Writes all of `data` at the descriptor's position (a pipe, a terminal, a
// file opened for appending).
std::error_code WriteAll(int fd, const char* data, std::size_t size);

}  // namespace tarnwick
