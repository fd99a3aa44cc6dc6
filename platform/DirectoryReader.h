#pragma once
// Enumerates one directory: reads the whole listing when it is opened and
// hands the entries out in the program's walk order, by name ignoring case
// (the code page's capitals), names that differ only in case by their bytes.
// So the order is the same on every file system and every run, and renaming
// entries of the directory cannot disturb the listing. Keeps the directory
// open for stat calls; not thread-safe. "." and ".." are never delivered.
#include <cstdint>
#include <string>
#include <system_error>
#include <vector>

#include <dirent.h>

namespace tarnwick {

class CodePage;

enum class EntryType : std::uint8_t { Unknown, File, Directory, Other };

// One directory entry. `readName` fills the name and what the listing tells
// of it; `stat` fills the rest, so filters that need only the name run
// before any stat, and an entry nothing asks more of is never stat'ed.
struct DirEntry {
    std::string name;
    EntryType type = EntryType::Unknown;  // of the link's target for a symbolic link
    bool isSymlink = false;
    bool hidden = false;  // the name begins with '.'
    bool readOnly = false;  // the owner's write bit is clear
    bool archive = false;  // not kept by POSIX file systems
    bool system = false;  // device, FIFO or socket
    bool statDone = false;
    std::uint64_t size = 0;
    std::int64_t created = 0;  // birth time where recorded, else status-change time
    std::int64_t modified = 0;
    std::int64_t accessed = 0;
    std::uint64_t device = 0;  // with `inode`, tells whether a directory was met before
    std::uint64_t inode = 0;

    bool isDirectory() const { return type == EntryType::Directory; }
    bool isRegularFile() const { return type == EntryType::File; }
    // The listing said what the entry is (not a link, not unknown).
    bool typeKnown() const { return type != EntryType::Unknown && !isSymlink; }
};

// Memory for one listing. A walk keeps one per depth and reuses it for every
// directory at that depth, so listing allocates nothing in steady state.
struct DirectoryListing {
    struct Record {
        std::uint32_t name = 0;  // offset of the name in `bytes`
        std::uint32_t key = 0;  // offset of its sort key (the same length)
        std::uint16_t length = 0;
        unsigned char type = DT_UNKNOWN;
    };
    std::string bytes;
    std::vector<Record> records;
};

class DirectoryReader {
public:
    // Opens `path` and reads its listing into `listing`.
    DirectoryReader(const std::string& path, const CodePage& codePage, DirectoryListing& listing);
    ~DirectoryReader();
    DirectoryReader(const DirectoryReader&) = delete;
    DirectoryReader& operator=(const DirectoryReader&) = delete;

    // False when the directory could not be opened (missing, no permission,
    // not a directory, no descriptor left); error() says why.
    bool isOpen() const { return m_dir != nullptr; }
    // The open directory's descriptor (for opening entries in it), or -1.
    int descriptor() const;
    // The errno of a failed open, or of a listing that broke off (what was
    // read before is still delivered); 0 when the whole listing was read.
    std::error_code error() const { return m_error; }

    // Moves to the next entry and fills its name, type hint and hidden flag.
    // Returns false after the last entry.
    bool readName(DirEntry& entry);

    // Completes the entry last returned by readName with attributes, size and
    // time stamps (a symbolic link is followed; a broken one describes the
    // link itself). Returns false when the entry has vanished meanwhile.
    bool stat(DirEntry& entry) const;

    void close();

private:
    void readListing(const CodePage& codePage);

    DIR* m_dir = nullptr;
    std::error_code m_error;
    DirectoryListing& m_listing;
    std::size_t m_next = 0;
};

}  // namespace tarnwick
