#pragma once
// A read-only view of part of an open file in memory, so that a large file
// is searched where the system keeps it instead of being copied first.
//
// A file that another program cuts short while it is viewed would end the
// program with SIGBUS. The view is guarded against that: a page with no file
// behind it any more reads as zeros, and lostPages() says that it happened,
// so the caller can report the file instead of trusting what it read. The
// guard chains to whatever SIGBUS handler was there before it for every
// other address. One thread uses a view at a time; views of several threads
// may exist at once (up to a fixed number; map() declines beyond it).
#include <cstddef>
#include <cstdint>
#include <system_error>

namespace tarnwick {

class FileMapping {
public:
    FileMapping() = default;
    ~FileMapping();
    FileMapping(const FileMapping&) = delete;
    FileMapping& operator=(const FileMapping&) = delete;

    // Maps [offset, offset + length) of `fd`, read-only, with the pages
    // loaded at once. Fails, leaving nothing mapped, when the view cannot
    // be had (the caller reads the file instead).
    std::error_code map(int fd, std::uint64_t offset, std::size_t length);
    void unmap();

    bool isMapped() const { return m_base != nullptr; }
    // The byte at the offset given to map().
    const char* data() const { return m_data; }
    std::size_t size() const { return m_size; }
    // True when part of the view was found to have no file behind it.
    bool lostPages() const;

private:
    void* m_base = nullptr;
    std::size_t m_mappedLength = 0;
    const char* m_data = nullptr;
    std::size_t m_size = 0;
    int m_guard = -1;  // the slot in the table of guarded views
};

}  // namespace tarnwick
