#pragma once

#include <QIcon>

namespace tarnwick::ui {

// The program's own icon from the bundled resources (AppIcon.qrc beside this
// file), for the desktop program and the crash reporter alike.
QIcon ProgramIcon();

}  // namespace tarnwick::ui
