#pragma once
// Puts back what one journalled run changed: renames in reverse order, then
// each file's previous contents through a temporary file and one rename. A
// file that changed since the run (its size or hash differs from what the
// run wrote), or a name that was taken meanwhile, is left alone and
// reported. A journal that was wholly restored is removed; otherwise what
// was restored is recorded, so a second undo tries only the rest. While a
// run holds the journal store's lock the undo does nothing and says so.
#include <string>
#include <vector>

#include "engine/undo/JournalStore.h"

namespace tarnwick {

struct UndoReport {
    std::string id;  // the run's journal; empty: none found
    std::vector<std::string> restored;  // one line per file or name put back
    std::vector<std::string> leftAlone;  // one line per entry left alone, with the reason
    bool missing = false;  // the named journal does not exist
    bool busy = false;  // a run is changing files: nothing was done

    // 0 all was restored, 1 nothing was to do, 2 something was left alone.
    int exitStatus() const;
    // The German summary line.
    std::string summary() const;
};

// Restores the run `id` (empty: the newest) from the journals under `root`.
UndoReport UndoRun(const std::string& root, const std::string& id);

}  // namespace tarnwick
