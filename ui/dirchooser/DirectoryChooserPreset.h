#pragma once
// Finding the folder the caller passed in among the chooser's top-level
// folders and their subdirectories.
#include <cstddef>
#include <string>
#include <vector>

#include "ui/dirchooser/DirectoryChooserAccess.h"

namespace tarnwick::ui {

enum class PresetTarget {
    Computer,  // empty path: the top item
    Directory,  // `root` and `names` lead to it
    NotFound,  // nothing is selected
};

struct PresetMatch {
    PresetTarget target = PresetTarget::NotFound;
    std::size_t root = 0;  // index into the root paths
    std::vector<std::string> names;  // names below that root, as spelt on disk
};

// Matches `preset` against `roots` (see DirectoryChooserAccess::rootPaths).
// Every path component is matched to a folder of the same name, or else to
// the first folder (in display order) whose name equals it in upper case.
// The root that covers the most components wins, so a folder in the home is
// found below the home. A path that leads through a symbolic link, or holds
// "..", is found under its resolved form.
PresetMatch MatchPresetPath(DirectoryChooserAccess& access, const std::vector<std::string>& roots, const std::string& preset);

}  // namespace tarnwick::ui
