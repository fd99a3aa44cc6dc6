#pragma once
// Enumerates one directory. Owns the open directory handle; not thread-safe.
// Entries come in the order the file system delivers them; "." and ".." are
// never delivered.
#include <cstdint>
#include <string>
#include <vector>

#include <dirent.h>

namespace tarnwick {

enum class EntryType : std::uint8_t { Unknown, File, Directory, Other };

// One directory entry. `readName` fills the name and a type hint; `stat`
// fills the rest, so filters that need only the name run before any stat.
struct DirEntry {
    std::string name;
    EntryType type = EntryType::Unknown;  // of the link's target for a symbolic link
    bool isSymlink = false;
    bool hidden = false;    // the name begins with '.'
    bool readOnly = false;  // the owner's write bit is clear
    bool archive = false;   // not kept by POSIX file systems
    bool system = false;    // device, FIFO or socket
    bool statDone = false;
    std::uint64_t size = 0;
    std::int64_t created = 0;  // birth time where recorded, else status-change time
    std::int64_t modified = 0;
    std::int64_t accessed = 0;
    std::uint64_t device = 0;  // with `inode`, tells whether a directory was met before
    std::uint64_t inode = 0;

    bool isDirectory() const { return type == EntryType::Directory; }
    bool isRegularFile() const { return type == EntryType::File; }
};

class DirectoryReader {
public:
    explicit DirectoryReader(const std::string& path);
    ~DirectoryReader();
    DirectoryReader(const DirectoryReader&) = delete;
    DirectoryReader& operator=(const DirectoryReader&) = delete;

    // False when the directory could not be opened (missing, no permission,
    // not a directory).
    bool isOpen() const { return m_dir != nullptr; }

    // Reads the rest of the listing at once. A walk that renames entries of
    // this directory calls it first: entries renamed while a listing is
    // read may be delivered again under their new names.
    void snapshot();

    // Moves to the next entry and fills its name, type hint and hidden flag.
    // Returns false at the end of the directory.
    bool readName(DirEntry& entry);

    // Completes the entry last returned by readName with attributes, size and
    // time stamps (a symbolic link is followed; a broken one describes the
    // link itself). Returns false when the entry has vanished meanwhile.
    bool stat(DirEntry& entry) const;

    void close();

private:
    struct Listed {
        std::string name;
        unsigned char type;
    };
    bool nextRaw(std::string& name, unsigned char& type);

    DIR* m_dir = nullptr;
    bool m_snapshot = false;
    std::vector<Listed> m_listed;
    std::size_t m_next = 0;
};

}  // namespace tarnwick
