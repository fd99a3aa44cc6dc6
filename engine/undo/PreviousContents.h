#pragma once
// Putting a journalled file's previous contents back: read from where the
// journal kept them (its data file, a copy of its own, or the run's backup
// copy), checked against the digest recorded before the run changed the
// file, and committed over the file like any other new contents. A copy
// that does not hash to the recorded digest (a backup someone changed since)
// is never written into the file.
#include <string>
#include <system_error>

#include "engine/undo/JournalManifest.h"

namespace tarnwick {

class InputFile;

// What the file at hand holds, against the journal entry.
enum class FileState : std::uint8_t {
    Changed,  // what the run wrote: to be restored
    Previous,  // what it held before the run: nothing to do
    Other,  // neither: someone changed it since
};

// Compares the open `current` file with `entry` (whose journal is version
// `version`).
std::error_code ClassifyFile(const InputFile& current, const JournalEntry& entry, int version, FileState& state);

// Restores `entry`'s previous contents into the open, pinned `current`.
// On failure `reason` is a German sentence naming why.
std::error_code RestorePrevious(const JournalInfo& journal, const JournalEntry& entry, InputFile& current, std::string& reason);

}  // namespace tarnwick
