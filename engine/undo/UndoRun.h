#pragma once
// Puts back what one journalled run changed: renames in reverse order, then
// each file's previous contents through a temporary file and one rename. A
// file whose contents are not what the run wrote (someone changed it since),
// a name that was taken meanwhile, an entry the journal does not describe
// soundly, or previous contents that no longer match their digest are left
// alone and reported, each line naming its file and the reason. A journal
// whose every entry is settled is removed; otherwise what was restored is
// recorded, so a second undo tries only the rest.
//
// Never runs without the journal store's lock: while a run holds it the
// undo does nothing and says so. A stop request ends it between two entries.
#include <atomic>
#include <string>
#include <vector>

#include "engine/undo/JournalStore.h"

namespace tarnwick {

struct UndoReport {
    std::string id;  // the run's journal; empty: none found
    std::vector<std::string> restored;  // one line per file or name put back
    std::vector<std::string> leftAlone;  // one line per entry left alone: its file and the reason
    std::size_t alreadyPrevious = 0;  // entries whose file held its previous contents already
    bool missing = false;  // the named journal does not exist
    bool busy = false;  // a run is changing files: nothing was done
    std::string lockFailure;  // the store could not be locked: nothing was done
    bool stopped = false;  // ended early on request; a second undo goes on

    // 0 something was restored and nothing left alone, 1 nothing was to do,
    // 2 something was left alone or the undo could not start, 130 stopped.
    int exitStatus() const;
    // The German summary line.
    std::string summary() const;
};

// Restores the run `id` (empty: the newest) from the journals under `root`.
UndoReport UndoRun(const std::string& root, const std::string& id, const std::atomic<bool>* stop = nullptr);

}  // namespace tarnwick
