#pragma once
// A directory tree held in memory, for the chooser's screenshot scene and
// its tests: fixed folders, chosen failures, and a count of the listings
// read, so nothing depends on the machine's own files.
#include <map>
#include <string>
#include <vector>

#include "ui/dirchooser/DirectoryChooserAccess.h"

namespace tarnwick::ui {

class MemoryDirectoryChooserAccess : public DirectoryChooserAccess {
public:
    explicit MemoryDirectoryChooserAccess(std::vector<std::string> roots);

    // Adds a folder and any missing folders above it.
    void addDirectory(const std::string& path);
    // Adds a symbolic link to a folder.
    void addLink(const std::string& path);
    // Removes a folder with everything below it.
    void removeDirectory(const std::string& path);
    // Listing `path` fails with `error` from now on (0: succeeds again).
    void failListing(const std::string& path, int error);
    // Every rename fails with `error` (0: renames succeed again).
    void failRenames(int error) { m_renameError = error; }
    // How often `path` was listed in full (probes for a first folder excluded).
    int fullListings(const std::string& path) const;
    bool exists(const std::string& path) const { return m_entries.count(path) != 0; }

    std::vector<std::string> rootPaths() override { return m_roots; }
    DirectoryChooserListing listDirectories(const std::string& path, std::size_t limit) override;
    int renameDirectory(const std::string& parent, const std::string& name, const std::string& newName) override;
    std::string canonicalPath(const std::string& path) override;

private:
    std::vector<std::string> m_roots;
    std::map<std::string, bool> m_entries;  // path -> is a link
    std::map<std::string, int> m_listingErrors;
    std::map<std::string, int> m_fullListings;
    int m_renameError = 0;
};

}  // namespace tarnwick::ui
