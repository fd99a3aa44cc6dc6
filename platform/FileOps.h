#pragma once
// The system calls through which the program changes files. Production code
// uses the real calls; tests install a replacement that fails on purpose
// (disk full, I/O error, a rename that is refused) to prove that a failure
// loses nothing. Installing is not thread-safe; tests do it before a run.
#include <sys/types.h>

#include <cstddef>

namespace tarnwick {

class FileOps {
public:
    virtual ~FileOps() = default;
    // Each returns 0 on success, else an errno value (pwrite: bytes written, or -errno).
    virtual ssize_t pwrite(int fd, const void* data, std::size_t size, off_t offset);
    virtual int allocate(int fd, off_t length);  // make room for `length` bytes
    virtual int truncate(int fd, off_t length);
    virtual int rename(const char* from, const char* to);

    static FileOps& current();
    // Installs `ops` (null: the real calls again). The object must outlive its use.
    static void install(FileOps* ops);
};

// Writes all of `data` at `offset`; returns 0 or the errno of the failure.
int WriteAllAt(int fd, const char* data, std::size_t size, off_t offset);

// Writes all of `data` at the descriptor's position (a pipe, a terminal, a
// file opened for appending); returns 0 or the errno of the failure.
int WriteAll(int fd, const char* data, std::size_t size);

}  // namespace tarnwick
