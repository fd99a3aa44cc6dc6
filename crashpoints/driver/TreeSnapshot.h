#pragma once
// What a user finds in a folder at one moment: every entry below it with
// its kind, contents (a symbolic link's target), inode, link count and
// permission bits. Taken with lstat, links not followed.
#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace tarnwick::crashpoints {

enum class EntryKind : std::uint8_t { File, Folder, Symlink, Other };

struct EntryState {
    EntryKind kind = EntryKind::Other;
    std::string bytes;  // a file's contents, a symbolic link's target
    std::uint64_t inode = 0;
    std::uint64_t links = 0;
    std::uint32_t mode = 0;  // permission bits
};

// Keys are paths relative to the root, e.g. "tree/sub/a.txt"; a folder
// comes before what it holds (std::map order: "a" < "a.txt" < "a/b").
using Snapshot = std::map<std::string, EntryState>;

// The `folders` of `root` (names directly in it) and everything below them.
// A folder that does not exist is left out.
Snapshot TakeSnapshot(const std::string& root, const std::vector<std::string>& folders);

// Whether two snapshots hold the same entries with the same kinds,
// contents, link counts and permission bits (inodes aside).
bool SameEntries(const Snapshot& a, const Snapshot& b);

// "tree/sub/a.txt" -> "tree/sub" and "a.txt"; a path without a slash has
// the parent "".
std::string ParentOf(const std::string& path);
std::string NameOf(const std::string& path);

}  // namespace tarnwick::crashpoints
