#pragma once
// Where the journals of runs that changed files are kept, and how one is
// read back: one folder per run under $XDG_STATE_HOME/tarnwick/undo (default
// ~/.local/state/tarnwick/undo), named by the run's start time so that names
// sort oldest first. Each holds a text manifest and the previous contents of
// files for which no backup copy was made, appended one after the other to
// one data file (a large file reflinked may have a file of its own).
//
// The manifest is appended line by line, fields separated by tabs (a tab,
// line feed or backslash in a path is escaped with a backslash):
//   tarnwick-undo VERSION | kind K | created SECONDS
//   file N PATH PREVIOUS PREVIOUS-SIZE [OFFSET]
//                                        before the contents of PATH change;
//                                        with OFFSET they start there in PREVIOUS
//   wrote N SIZE HASH                    after they changed (FNV-1a 64, hex)
//   rename N FROM TO                     before FROM is renamed to TO
//   failed N                             the change did not happen
//   restored N                           an undo put it back
// PREVIOUS is a backup copy's path, or a name inside the journal's folder.
// Version 1 had no data file (and no OFFSET); it is still read.
#include <cstdint>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

namespace tarnwick {

// What a journalled run was.
enum class RunKind : std::uint8_t { Replace, SelectedReplace, Lowercase };

const char* RunKindName(RunKind kind);
// The German name shown by a listing.
const char* RunKindText(RunKind kind);

// The journal settings a run is given (the options dialog's values).
struct UndoJournalOptions {
    bool enabled = true;
    std::uint64_t limitBytes = 1024ULL << 20;  // 0: no limit
    std::string root;  // empty: JournalRoot()
};

// $XDG_STATE_HOME/tarnwick/undo, or ~/.local/state/tarnwick/undo.
std::string JournalRoot();
std::string JournalRootOf(const UndoJournalOptions& options);

inline constexpr const char* kManifestName = "manifest";
inline constexpr const char* kDataName = "data";
inline constexpr int kJournalVersion = 2;

// The lock of the journal store (a lock file under the root): a run holds it
// shared while it journals, an undo exclusively, so an undo never restores
// files while a run (in this or another process) changes them.
class JournalLock {
public:
    enum class Mode : std::uint8_t {
        Run,  // shared; waits for an undo to end
        Undo,  // exclusive; busy (EWOULDBLOCK) while a run holds it
    };
    JournalLock() = default;
    ~JournalLock() { release(); }
    JournalLock(const JournalLock&) = delete;
    JournalLock& operator=(const JournalLock&) = delete;

    std::error_code acquire(const std::string& root, Mode mode);
    void release();

private:
    int m_fd = -1;
};

struct JournalEntry {
    enum class Type : std::uint8_t { Contents, Rename };
    Type type = Type::Contents;
    std::uint64_t number = 0;
    std::string path;  // contents: the file; rename: the old name
    std::string other;  // contents: where the previous contents are; rename: the new name
    std::uint64_t previousSize = 0;
    std::uint64_t previousOffset = 0;  // where they start in `other`
    bool previousShared = false;  // `other` holds more than them (the data file)
    std::uint64_t writtenSize = 0;
    std::uint64_t writtenHash = 0;
    bool written = false;  // contents: the commit happened
    bool failed = false;
    bool restored = false;
};

struct JournalInfo {
    std::string id;
    std::string folder;
    RunKind kind = RunKind::Replace;
    std::int64_t created = 0;  // seconds since the epoch
    std::vector<JournalEntry> entries;  // in the order of the run
    std::uint64_t bytes = 0;  // the folder's size on disk (apparent)

    std::size_t fileCount() const;
    std::size_t renameCount() const;
    bool partlyRestored() const;
};

// Appends `field` to `line`, escaped.
void AppendField(std::string& line, std::string_view field);

// Reads the journal in `folder`; an error when there is no readable manifest.
std::error_code ReadJournal(const std::string& folder, JournalInfo& info);

// The journals under `root`, newest first; unreadable folders are passed over.
std::vector<JournalInfo> ListJournals(const std::string& root);

// Whether there is any journal under `root` (cheaper than listing them).
bool HasJournals(const std::string& root);

// Removes journals oldest first until the total is at most `limitBytes`;
// the journal named `keep` (the run just made) is never removed.
void PruneJournals(const std::string& root, std::uint64_t limitBytes, const std::string& keep);

}  // namespace tarnwick
