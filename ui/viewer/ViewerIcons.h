#pragma once

#include <QIcon>

#include "ui/frame/MainFrameCommand.h"

namespace tarnwick::ui {

// The icons of the viewer's commands (tool bar "Vorschau", its menu entries).
QIcon ViewerCommandIcon(FrameCommand id);

}  // namespace tarnwick::ui
