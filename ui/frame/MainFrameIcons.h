#pragma once

#include <QIcon>

#include <functional>

#include "ui/frame/MainFrameCommand.h"

class QPainter;

namespace tarnwick::ui {

// The tool-bar and menu icon of a command, painted at 16, 24 and 32 pixels;
// a null icon for a command that has none.
QIcon CommandIcon(FrameCommand id);

// An icon drawn by `paint` on a 16 x 16 grid, scaled to 16, 24 and 32 pixels,
// so that every size shares one drawing.
QIcon PaintedIcon(const std::function<void(QPainter&)>& paint);

}  // namespace tarnwick::ui
