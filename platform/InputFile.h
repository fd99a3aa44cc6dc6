#pragma once
// A file opened for a search (read-only, shared advisory lock) or for a
// replace (read and write, exclusive advisory lock), so that a file another
// program holds locked cannot be changed under it. Owns its descriptor (and,
// once pinned, the descriptor of the folder that holds it); movable, not
// thread-safe.
//
// A file that will be written is pinned first: its folder is opened and
// its name there checked to still be the opened object. Every later write
// goes through that folder's descriptor and checks the name again, so a
// name swapped meanwhile for another file or a symbolic link is never
// written through.
#include <sys/stat.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <system_error>

#include "platform/Expected.h"
#include "platform/FileIdentity.h"

namespace tarnwick {

class InputFile {
public:
    InputFile() = default;
    ~InputFile();
    InputFile(const InputFile&) = delete;
    InputFile& operator=(const InputFile&) = delete;
    InputFile(InputFile&& other) noexcept;
    InputFile& operator=(InputFile&& other) noexcept;

    enum class Mode { Search, Replace };
    // Whether a symbolic link as the last component of the path is followed
    // (a link the walk met, searched as its target) or refused (a name the
    // walk saw as a file: a link that appears there later is not followed).
    enum class Links { Follow, Refuse };

    // Opens `path`. Fails when it cannot be opened or locked. Never blocks: a
    // FIFO that slipped in is refused as not a regular file. For a replace,
    // a file whose owner write bit is clear is refused with EACCES, also for
    // root, as the read-only attribute protects it. A link refused is
    // NameChangedError().
    std::error_code open(const std::string& path, Mode mode = Mode::Search, Links links = Links::Follow);
    // Opens `name` in the folder open as `folderFd` for a search, as open()
    // does: the system looks up one name instead of every folder of a path.
    std::error_code openInFolder(int folderFd, const char* name);
    void close();

    bool isOpen() const { return m_fd >= 0; }
    // The path given to open() for a replace; empty for a search.
    const std::string& path() const { return m_path; }
    std::uint64_t size() const { return m_size; }
    int descriptor() const { return m_fd; }
    FileIdentity identity() const { return m_identity; }
    // The path with every symbolic link resolved: where the contents live.
    // Once pinned, the folder's real path and the name in it; before that
    // resolved on first use (most files a replace opens are never written).
    const std::string& realPath() const;
    unsigned permissions() const { return m_permissions; }
    std::uint64_t linkCount() const { return m_linkCount; }

    // Fixes the folder that holds the opened file (for a followed link, the
    // target's) and checks that the name there is still the opened object.
    // NameChangedError() when it is not. Idempotent; later calls check the
    // name again.
    std::error_code pin();
    bool isPinned() const { return m_folderFd >= 0; }
    // Whether the name in the pinned folder is still the opened object (the
    // last component not followed): empty, or NameChangedError().
    std::error_code checkName() const;
    // The pinned folder's descriptor and the file's name in it.
    int folderDescriptor() const { return m_folderFd; }
    const std::string& leafName() const { return m_leaf; }
    const std::string& folderPath() const { return m_folderPath; }

    // The first offset at or after `offset` that holds data, as opposed to a
    // hole of a sparse file (which reads as zeros); size() when none does.
    // Where the file system cannot tell, `offset` itself.
    std::uint64_t nextData(std::uint64_t offset) const;

    // Reads up to `n` bytes at `offset`; gives how many were read, fewer
    // only at the end of the file.
    Expected<std::size_t> readAt(std::uint64_t offset, char* buffer, std::size_t n) const;

    // The object that holds the contents after a commit replaced the file by
    // a new one (set by the commit); the opened identity otherwise.
    FileIdentity currentIdentity() const { return m_replacedBy.isKnown() ? m_replacedBy : m_identity; }
    void noteReplacedBy(FileIdentity identity) { m_replacedBy = identity; }

private:
    void moveFrom(InputFile& other) noexcept;
    // Checks and locks a descriptor just opened; takes it over or closes it.
    std::error_code adopt(int fd, bool forReplace);

    int m_fd = -1;
    int m_folderFd = -1;
    std::uint64_t m_size = 0;
    std::string m_path;
    mutable std::string m_realPath;
    std::string m_folderPath;
    std::string m_leaf;
    unsigned m_permissions = 0;
    std::uint64_t m_linkCount = 1;
    Links m_links = Links::Follow;
    FileIdentity m_identity;
    FileIdentity m_replacedBy;
};

// Splits `path` into its folder ("." when it names none) and its last
// component.
void SplitFolderAndName(const std::string& path, std::string& folder, std::string& name);

}  // namespace tarnwick
