#pragma once

#include <QString>

namespace tarnwick::ui {

// The two drawing styles of menus, bars and tabs, by their stored numbers.
enum class DrawingStyle : int {
    Xp = 32769,
    Office2003 = 32770,
};

// A stored `Guistil` value; anything but the two known numbers is the default.
DrawingStyle DrawingStyleFromStored(int stored);

// The style sheet that gives the main window and the panes inside it the look.
QString DrawingStyleSheet(DrawingStyle style);

}  // namespace tarnwick::ui
