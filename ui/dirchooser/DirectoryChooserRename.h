#pragma once
// Renaming a folder in the directory chooser (F2 on a subdirectory).
#include <string>

#include "ui/dirchooser/DirectoryChooserAccess.h"

namespace tarnwick::ui {

enum class ChooserRenameResult {
    Renamed,
    Unchanged,  // empty text or the old name: refused without a word
    InvalidName,  // message with an exclamation icon, edit refused
    Failed,  // the system refused; message with its reason, old name kept
};

struct ChooserRenameOutcome {
    ChooserRenameResult result = ChooserRenameResult::Unchanged;
    std::string newPath;  // when Renamed
    std::string message;  // for InvalidName and Failed
};

// Whether `name` holds a character no folder name of the program may hold
// ('/', '\', ':', '*', '?', '"', '<', '>', '|'), or is "." or "..".
bool IsInvalidDirectoryName(const std::string& name);

// Renames the folder `name` in `parent` to `newName`.
ChooserRenameOutcome RenameChooserDirectory(DirectoryChooserAccess& access, const std::string& parent, const std::string& name,
                                            const std::string& newName);

}  // namespace tarnwick::ui
