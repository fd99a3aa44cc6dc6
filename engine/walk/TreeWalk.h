#pragma once
// The directory walk shared by search and replace runs: visits the entries
// of a directory in walk order (by name ignoring case, see DirectoryReader),
// applies the job's filters, descends into subdirectories, and turns a
// failure inside one entry, or a listing that cannot be read, into an error
// item so that the walk goes on. What happens to an admitted file or
// directory name is the subclass's. One thread only.
#include <memory>
#include <string>
#include <vector>

#include "engine/walk/EntryFilter.h"
#include "platform/DirectoryReader.h"
#include "platform/Expected.h"

namespace tarnwick {

class RunContext;
class DocumentEngine;

class TreeWalk {
public:
    explicit TreeWalk(RunContext& run);
    virtual ~TreeWalk() = default;

    // Walks `directory` and, with subfolders, everything below it. Returns
    // when done or when a stop was requested.
    void walk(const std::string& directory);

protected:
    // A file that passed every filter. A failure ends the entry; the walk
    // reports it as the entry's error item.
    virtual Expected<void> processFile(const DirEntry& entry, const std::string& path) = 0;
    // A directory whose name passed the date and name-string filters, after
    // everything below it was processed. `names` collects names of the level.
    virtual void processDirectoryName(const DirEntry& entry, const std::string& path, std::vector<std::string>& names) = 0;
    // The listing of `directory` has ended (not by a stop).
    virtual void levelFinished(const std::string& /*directory*/, std::vector<std::string>& /*names*/) {}
    // Whether every entry is stat'ed; otherwise only entries whose type the
    // listing does not tell, directories, and files the filters need it for.
    virtual bool statsEveryEntry() const { return true; }
    // Search runs show their progress and count the examined entries.
    virtual bool showsProgress() const { return false; }
    // Skips a file before the type filter (besides the common filters).
    virtual bool skipsFile(const DirEntry& /*entry*/, const std::string& /*path*/) const { return false; }
    // The error text for an exception that is no failure of the program's.
    virtual std::string unknownErrorText() const = 0;

    DocumentEngine& documents();
    // The descriptor of the folder whose entry is being processed (-1 when
    // it cannot be had): its files can be opened by their names in it.
    int currentFolderFd() const { return m_folderFd; }

    RunContext& m_run;
    EntryFilter m_filter;

private:
    struct DirectoryId {
        std::uint64_t device;
        std::uint64_t inode;
        bool operator==(const DirectoryId&) const = default;
    };

    Expected<void> processEntry(DirectoryReader& reader, DirEntry& entry, const std::string& path,
                                std::vector<std::string>& names);
    bool needsStat(const DirEntry& entry) const;
    void processDirectory(const DirEntry& entry, const std::string& path, std::vector<std::string>& names);
    bool onCurrentPath(const DirEntry& entry) const;

    std::vector<DirectoryId> m_path;
    int m_folderFd = -1;
    // Listing memory per depth of the walk, reused.
    std::vector<std::unique_ptr<DirectoryListing>> m_listings;
};

// Joins a directory path and an entry name with one '/'.
void JoinPath(std::string& out, const std::string& directory, const std::string& name);

}  // namespace tarnwick
