#pragma once
// A file opened for a search: read-only, with a shared advisory lock so that
// a file another program holds locked for writing cannot be searched. Owns
// its descriptor; not thread-safe.
#include <cstddef>
#include <cstdint>
#include <string>

namespace tarnwick {

class InputFile {
public:
    InputFile() = default;
    ~InputFile();
    InputFile(const InputFile&) = delete;
    InputFile& operator=(const InputFile&) = delete;

    // Opens `path` (a symbolic link is followed). Returns false with
    // lastError() set when it cannot be opened or locked. Never blocks: a
    // FIFO that slipped in is refused as not a regular file.
    bool open(const std::string& path);
    void close();

    bool isOpen() const { return m_fd >= 0; }
    int lastError() const { return m_error; }
    const std::string& path() const { return m_path; }
    std::uint64_t size() const { return m_size; }

    // Reads up to `n` bytes at `offset`; fewer only at the end of the file.
    // Throws CFileException on a read error.
    std::size_t readAt(std::uint64_t offset, char* buffer, std::size_t n) const;

private:
    int m_fd = -1;
    int m_error = 0;
    std::uint64_t m_size = 0;
    std::string m_path;
};

}  // namespace tarnwick
