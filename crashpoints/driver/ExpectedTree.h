#pragma once
// What every entry of a scenario's tree should look like: its old name and
// contents (before the run) and its new ones (after a run without a crash),
// learned from the two snapshots and the scenario's name rule. Also tells
// which entries the tree may gain: backup copies of a file's old contents
// and the program's temporary files.
#include <cstdint>
#include <string>
#include <vector>

#include "crashpoints/driver/Scenario.h"
#include "crashpoints/driver/TreeSnapshot.h"

namespace tarnwick::crashpoints {

struct ExpectedEntry {
    std::string oldPath, newPath;  // relative to the scenario folder
    std::string oldName, newName;
    int parent = -1;  // index of the folder holding it; -1 for a checked folder itself
    EntryKind kind = EntryKind::File;
    std::string oldBytes, newBytes;
    std::uint32_t mode = 0;
    bool document = false;  // compared by its parts (a package records when it was saved)
    bool hardLinked = false;  // one of several names of one file in the tree
};

enum class ContentMatch : std::uint8_t { Old, New, Unchanged, Neither };

// What an entry that no expected entry accounts for is.
enum class ExtraKind : std::uint8_t {
    Temporary,  // the program's temporary file
    Backup,  // a backup copy holding some file's old contents
    PartialBackup,  // named as a backup copy, holding the start of some file's old contents
    Unexpected,
};

class ExpectedTree {
public:
    // Learns from the snapshots before and after a run without a crash.
    // `problems` receives what does not fit the scenario (a name the rule
    // predicts that the run did not give, an entry the run left besides
    // backup copies); the tree is unusable then.
    ExpectedTree(const Snapshot& before, const Snapshot& after, const Scenario& scenario, std::vector<std::string>& problems);

    const std::vector<ExpectedEntry>& entries() const { return m_entries; }
    // Entries that are names of one file, each group of two or more.
    const std::vector<std::vector<int>>& linkGroups() const { return m_linkGroups; }

    ContentMatch match(const ExpectedEntry& entry, const std::string& bytes) const;
    ExtraKind classify(const std::string& path, const EntryState& state) const;
    // Whether the run changes anything at all (a scenario that changes nothing tests nothing).
    bool changesSomething() const;

private:
    std::vector<ExpectedEntry> m_entries;
    std::vector<std::vector<int>> m_linkGroups;
    std::string m_backupExtension;
};

// "12 bytes", "empty", "the first 4096 of 20480 bytes of its new contents".
std::string DescribeContents(const ExpectedEntry& entry, const std::string& bytes);

}  // namespace tarnwick::crashpoints
