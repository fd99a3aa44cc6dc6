#pragma once
// The directory chooser's view of the file system: the top-level folders,
// the subdirectories of one folder, and renaming. The dialog and its logic
// reach the disk only through this interface, so tests run on a temporary
// tree or an in-memory one. Implementations need not be thread-safe; the
// chooser uses them from the user interface thread only.
#include <cstddef>
#include <limits>
#include <string>
#include <vector>

namespace tarnwick::ui {

struct DirectoryChooserEntry {
    std::string name;
    bool isLink = false;  // a symbolic link to a directory
};

struct DirectoryChooserListing {
    int error = 0;  // errno when the folder could not be listed, else 0
    std::vector<DirectoryChooserEntry> directories;
};

class DirectoryChooserAccess {
public:
    virtual ~DirectoryChooserAccess() = default;

    // Absolute paths of the top-level folders, in the order shown; "/" is
    // written as "/", every other path without a trailing '/'.
    virtual std::vector<std::string> rootPaths() = 0;

    // The entries of `path` that are directories or symbolic links to
    // directories ("." and ".." excluded), in no particular order. Stops
    // after `limit` of them, so a caller asking whether there is any at all
    // reads no further than the first.
    virtual DirectoryChooserListing listDirectories(const std::string& path,
                                                    std::size_t limit = std::numeric_limits<std::size_t>::max()) = 0;

    // Renames `parent`/`name` to `parent`/`newName`, never replacing an
    // existing entry. Returns 0 or an errno value.
    virtual int renameDirectory(const std::string& parent, const std::string& name, const std::string& newName) = 0;

    // The path with every symbolic link, "." and ".." resolved; empty when
    // it does not name an existing entry.
    virtual std::string canonicalPath(const std::string& path) = 0;
};

// The real file system. The top-level folders stand in for drives: "/", the
// user's home and the volumes mounted under /media, /mnt and /run/media.
class SystemDirectoryChooserAccess : public DirectoryChooserAccess {
public:
    std::vector<std::string> rootPaths() override;
    DirectoryChooserListing listDirectories(const std::string& path, std::size_t limit) override;
    int renameDirectory(const std::string& parent, const std::string& name, const std::string& newName) override;
    std::string canonicalPath(const std::string& path) override;
};

// "/" first, then `home` (unless empty or "/"), then those of `mountPoints`
// that lie in /media, /mnt or /run/media, sorted; no path twice.
std::vector<std::string> ChooserRootPaths(const std::string& home, const std::vector<std::string>& mountPoints);

}  // namespace tarnwick::ui
