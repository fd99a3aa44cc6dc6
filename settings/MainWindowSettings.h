#pragma once
// Section `Tarnwick-Main`: the main window's normal-state rectangle, show
// state and drawing style, and where the window goes at start-up.
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/Expected.h"

namespace tarnwick::settings {

class ProfileStore;

// The application name with blanks turned into '_', then "-Main".
std::string MainWindowSectionName(std::string_view applicationName = "Tarnwick");

namespace ShowState {
inline constexpr std::int32_t Normal = 1;
inline constexpr std::int32_t Maximized = 3;
}  // namespace ShowState

struct MainWindowSettings {
    std::int32_t left = 10;
    std::int32_t top = 10;
    std::int32_t right = 808;
    std::int32_t bottom = 590;
    std::int32_t status = ShowState::Normal;
    std::uint32_t style = 32769;  // the toolkit's drawing style at closing
    std::int32_t theme = 0;

    bool operator==(const MainWindowSettings&) const = default;
};

MainWindowSettings ReadMainWindowSettings(ProfileStore& store);
// Deletes the whole section and writes it anew, in one rewrite.
Expected<void> WriteMainWindowSettings(ProfileStore& store, const MainWindowSettings& settings);

// Position (relative to the desktop work area's top-left corner) and size.
struct WindowGeometry {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    bool operator==(const WindowGeometry&) const = default;
};

// The window gets the stored rectangle's size and its top-left corner, but
// no further right than the screen width minus an icon's width and no lower
// than the screen height minus an icon's height, so some of it is always
// reachable. A rectangle without area (hand-edited) gives the default size.
WindowGeometry PlaceMainWindow(const MainWindowSettings& settings, int screenWidth, int screenHeight, int iconWidth,
                               int iconHeight);

}  // namespace tarnwick::settings
