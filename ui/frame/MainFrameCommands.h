#pragma once

#include <optional>
#include <string>
#include <vector>

#include "ui/frame/MainFrameCommand.h"

namespace tarnwick::ui {

// One entry of the main menu: its text as the menu shows it ("&" marks the
// access key, "\t" starts the key hint), the prompt texts where the program has
// them, and the keys that trigger it.
struct CommandEntry {
    FrameCommand id;
    std::string text;  // UTF-8
    CommandOwner owner;
    std::string statusTip;  // fly-by text in the status bar; may be empty
    std::string toolTip;  // may be empty: then the text without marks
    std::vector<std::string> keys;  // portable key sequences ("Ctrl+O")
    bool checkable = false;
};

// A menu of the menu bar; std::nullopt in `entries` is a separator.
struct MenuEntry {
    std::string title;
    std::vector<std::optional<FrameCommand>> entries;
};

// The menu bar from left to right.
const std::vector<MenuEntry>& MainMenuLayout();

// The main tool bar from left to right; std::nullopt is a separator.
const std::vector<std::optional<FrameCommand>>& MainToolBarLayout();

// Every command of the main menu; nullptr for an id the menu does not have.
const CommandEntry* FindCommand(FrameCommand id);
const std::vector<CommandEntry>& AllCommands();

// The tool tip of a command: its own, else the menu text without access-key
// marks, key hint and trailing "...".
std::string ToolTipOf(const CommandEntry& entry);

// Whether the main window enables a command while the search form is busy or
// idle. std::nullopt: the main window leaves the command alone, because its
// owner (the results pane, the viewer) decides.
std::optional<bool> FrameEnablesCommand(FrameCommand id, bool busy);

}  // namespace tarnwick::ui
