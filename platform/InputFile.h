#pragma once
// A file opened for a search (read-only, shared advisory lock) or for a
// replace (read and write, exclusive advisory lock), so that a file another
// program holds locked cannot be changed under it. Owns its descriptor; not
// thread-safe.
#include <cstddef>
#include <cstdint>
#include <string>
#include <system_error>

namespace tarnwick {

class InputFile {
public:
    InputFile() = default;
    ~InputFile();
    InputFile(const InputFile&) = delete;
    InputFile& operator=(const InputFile&) = delete;

    enum class Mode { Search, Replace };

    // Opens `path` (a symbolic link is followed). Fails when it cannot be
    // opened or locked. Never blocks: a
    // FIFO that slipped in is refused as not a regular file. For a replace,
    // a file whose owner write bit is clear is refused with EACCES, also for
    // root, as the read-only attribute protects it.
    std::error_code open(const std::string& path, Mode mode = Mode::Search);
    void close();

    bool isOpen() const { return m_fd >= 0; }
    // The path given to open() for a replace; empty for a search.
    const std::string& path() const { return m_path; }
    std::uint64_t size() const { return m_size; }
    int descriptor() const { return m_fd; }
    // The path with every symbolic link resolved: where the contents live.
    // Resolved on first use: most files a replace opens are never written.
    const std::string& realPath() const;
    unsigned permissions() const { return m_permissions; }
    unsigned owner() const { return m_owner; }
    unsigned group() const { return m_group; }
    std::uint64_t linkCount() const { return m_linkCount; }

    // The first offset at or after `offset` that holds data, as opposed to a
    // hole of a sparse file (which reads as zeros); size() when none does.
    // Where the file system cannot tell, `offset` itself.
    std::uint64_t nextData(std::uint64_t offset) const;

    // Reads up to `n` bytes at `offset` and says in `got` how many were read;
    // fewer only at the end of the file or on a failure.
    std::error_code readAt(std::uint64_t offset, char* buffer, std::size_t n, std::size_t& got) const;

private:
    int m_fd = -1;
    std::uint64_t m_size = 0;
    std::string m_path;
    mutable std::string m_realPath;
    unsigned m_permissions = 0;
    unsigned m_owner = 0;
    unsigned m_group = 0;
    std::uint64_t m_linkCount = 1;
};

}  // namespace tarnwick
