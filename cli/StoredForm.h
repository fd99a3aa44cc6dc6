#pragma once
// A run set up in the desktop program, read back from the settings file so
// that it can be repeated in a terminal.
#include <cstdint>
#include <optional>
#include <string>

#include "engine/job/SearchJob.h"
#include "engine/replace/ConvertDirectory.h"
#include "engine/undo/JournalStore.h"
#include "engine/worker/RunLifecycle.h"

namespace tarnwick {

struct StoredForm {
    SearchJob job;
    std::string searchText;  // as typed
    std::string replacement;  // as typed
    std::string directory;
    RenameArgument renameArgument = RenameArgument::All;
    bool useLog = false;
    std::string logFile;
    bool logOnlyReplace = true;
};

// Reads the search form's stored state from the settings file at `path`
// (empty: the user's own). A missing or damaged file reads as defaults, as
// it does for the desktop program. The date range is the form's initial
// one: from one day before `now` to `now`.
StoredForm ReadStoredForm(const std::string& path, std::int64_t now);

// The same with the search saved under `name` in the desktop program taken
// into the form; nothing when there is no search of that name.
std::optional<StoredForm> ReadStoredPreset(const std::string& path, const std::string& name, std::int64_t now);

// The undo journal as the options dialog set it in the settings file at
// `path` (empty: the user's own).
UndoJournalOptions StoredUndoOptions(const std::string& path);

// The operation log as the desktop program would write it for these settings.
LogSettings StoredLogSettings(const StoredForm& form);

}  // namespace tarnwick
