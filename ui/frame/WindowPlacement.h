#pragma once

#include "settings/MainWindowSettings.h"

namespace tarnwick::ui {

// The stored placement of the main window (section "Tarnwick-Main").
using WindowPlacement = settings::MainWindowSettings;

struct ScreenRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;

    bool operator==(const ScreenRect&) const = default;
};

// Where the window opens and in which state.
struct PlacedWindow {
    ScreenRect rect;
    bool maximized = false;

    bool operator==(const PlacedWindow&) const = default;
};

// Places the window from its stored placement by the store's rule (size from
// the rectangle, corner measured from the work area's corner, never so far
// right or low that less than an icon of it stays on the screen), and also
// never above the work area, where the title bar could not be reached, nor so
// far left that less than an icon's width of it is visible.
PlacedWindow PlaceWindow(const WindowPlacement& stored, const ScreenRect& workArea, int screenWidth, int screenHeight,
                         int iconWidth, int iconHeight);

// What is written when the window is destroyed; the rectangle is stored
// relative to the work area, as PlaceWindow reads it.
WindowPlacement PlacementOf(const ScreenRect& normalRect, const ScreenRect& workArea, bool maximized, int style, int theme);

}  // namespace tarnwick::ui
