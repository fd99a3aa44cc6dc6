#pragma once
// The subdirectories shown under one folder of the directory chooser, read
// when the folder is opened for the first time.
#include <string>
#include <vector>

#include "ui/dirchooser/DirectoryChooserAccess.h"

namespace tarnwick::ui {

struct ChooserChild {
    std::string name;
    std::string path;
    bool isLink = false;
    // Shows an expand button: it has a subdirectory, or it cannot be read
    // and opening it tells the user why. A symbolic link is never opened,
    // so a link that points back up the tree cannot nest without end.
    bool expandable = false;
};

enum class ChooserListingStatus { Listed, Vanished, Unreadable };

struct ChooserListing {
    ChooserListingStatus status = ChooserListingStatus::Listed;
    int error = 0;  // errno unless Listed
    std::vector<ChooserChild> children;  // sorted for display
};

// The subdirectories of `path` in display order, each probed for
// subdirectories of its own.
ChooserListing ListChooserChildren(DirectoryChooserAccess& access, const std::string& path);

// Ascending, ignoring case, by the locale's collation; names equal but for
// case keep a fixed order.
void SortDirectoryNames(std::vector<DirectoryChooserEntry>& entries);

// Whether two names are equal in upper case (the code page's letter pairs).
bool SameNameIgnoringCase(const std::string& a, const std::string& b);

// `parent` + "/" + `name`; "/" + `name` under the root.
std::string JoinChooserPath(const std::string& parent, const std::string& name);

// The message for a folder that could not be listed; empty when it was.
std::string ListingProblemText(const std::string& path, const ChooserListing& listing);

}  // namespace tarnwick::ui
