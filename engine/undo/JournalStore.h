#pragma once
// Where the journals of runs that changed files are kept: one folder per run
// under $XDG_STATE_HOME/tarnwick/undo (default ~/.local/state/tarnwick/undo),
// named by the run's start time so that names sort oldest first. Each holds
// the manifest (JournalManifest.h) and the previous contents of files for
// which no backup copy was made, appended one after the other to one data
// file (a large file reflinked may have a file of its own).
//
// Two kinds of lock keep runs, undos and clean-ups apart: the store's lock
// (a run holds it shared, an undo exclusively, so an undo never restores
// files while a run changes them) and each journal's own (its run holds it
// while it writes the journal, so nothing prunes or recovers a live run's
// journal).
#include <cstdint>
#include <string>
#include <system_error>
#include <vector>

#include "engine/undo/JournalManifest.h"

namespace tarnwick {

// The journal settings a run is given (the options dialog's values).
struct UndoJournalOptions {
    bool enabled = true;
    std::uint64_t limitBytes = 1024ULL << 20;  // 0: no limit
    std::string root;  // empty: JournalRoot()
};

// $XDG_STATE_HOME/tarnwick/undo, or ~/.local/state/tarnwick/undo.
std::string JournalRoot();
std::string JournalRootOf(const UndoJournalOptions& options);

// The lock of the journal store (a lock file under the root).
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

// The lock of one journal (on its manifest). A run holds it from the
// journal's making to its end; whoever else wants to change or remove the
// journal takes it without waiting, and leaves the journal alone when busy.
class JournalFolderLock {
public:
    JournalFolderLock() = default;
    ~JournalFolderLock() { release(); }
    JournalFolderLock(const JournalFolderLock&) = delete;
    JournalFolderLock& operator=(const JournalFolderLock&) = delete;

    // EWOULDBLOCK while the journal's run (or another undo) holds it.
    std::error_code tryAcquire(const std::string& folder);
    // Takes the lock on the open manifest `fd` (the run that writes it).
    std::error_code acquireOpen(int fd);
    void release();
    bool isHeld() const { return m_fd >= 0; }

private:
    int m_fd = -1;
    bool m_owned = false;  // the descriptor is ours to close
};

// Appends `line` (with its line feed) to the manifest of the journal in
// `folder` and hands it to the disk; for undos and clean-ups, which hold the
// journal's lock.
std::error_code AppendToManifest(const std::string& folder, const std::string& line);

// The journals under `root`, newest first; unreadable folders are passed over.
std::vector<JournalInfo> ListJournals(const std::string& root);

// Whether there is any journal under `root` (cheaper than listing them).
bool HasJournals(const std::string& root);

// Removes journals oldest first until the total is at most `limitBytes`;
// the journal named `keep` (the run just made) and every journal whose run
// still holds it are never removed.
void PruneJournals(const std::string& root, std::uint64_t limitBytes, const std::string& keep);

}  // namespace tarnwick
