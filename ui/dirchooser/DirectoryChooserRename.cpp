#include "ui/dirchooser/DirectoryChooserRename.h"

#include "platform/SystemError.h"
#include "ui/dirchooser/DirectoryChooserListing.h"
#include "ui/dirchooser/DirectoryChooserTexts.h"

namespace tarnwick::ui {

bool IsInvalidDirectoryName(const std::string& name)
{
    // The characters other systems forbid stay forbidden, so a tree renamed
    // here can still be copied to such a volume.
    return name.find_first_of("/\\:*?\"<>|") != std::string::npos || name == "." || name == "..";
}

ChooserRenameOutcome RenameChooserDirectory(DirectoryChooserAccess& access, const std::string& parent, const std::string& name,
                                            const std::string& newName)
{
    ChooserRenameOutcome outcome;
    if (newName.empty() || newName == name) return outcome;
    if (IsInvalidDirectoryName(newName)) {
        outcome.result = ChooserRenameResult::InvalidName;
        outcome.message = text::kInvalidFileName;
        return outcome;
    }
    if (const int error = access.renameDirectory(parent, name, newName)) {
        outcome.result = ChooserRenameResult::Failed;
        outcome.message = text::kRenameFailed + JoinChooserPath(parent, name) + "\n" + SystemErrorText(error);
        return outcome;
    }
    outcome.result = ChooserRenameResult::Renamed;
    outcome.newPath = JoinChooserPath(parent, newName);
    return outcome;
}

}  // namespace tarnwick::ui
