#pragma once

#include <QIcon>

#include "ui/MainFrameCommand.h"

namespace tarnwick::ui {

// The tool-bar and menu icon of a command, painted at 16, 24 and 32 pixels;
// a null icon for a command that has none.
QIcon CommandIcon(FrameCommand id);

// The program's own icon from the bundled resources.
QIcon ProgramIcon();

}  // namespace tarnwick::ui
