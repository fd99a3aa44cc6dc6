#include "ui/frame/WindowPlacement.h"

#include <algorithm>
#include <cstdint>

namespace tarnwick::ui {

PlacedWindow PlaceWindow(const WindowPlacement& stored, const ScreenRect& workArea, int screenWidth, int screenHeight,
                         int iconWidth, int iconHeight)
{
    // The store's rule works relative to the work area; its screen limits are absolute.
    const settings::WindowGeometry geometry =
        settings::PlaceMainWindow(stored, screenWidth - workArea.x, screenHeight - workArea.y, iconWidth, iconHeight);
    PlacedWindow placed;
    placed.rect.width = geometry.width;
    placed.rect.height = geometry.height;
    // 64 bits: a damaged corner may lie near the ends of the 32-bit range.
    const std::int64_t x = static_cast<std::int64_t>(workArea.x) + geometry.x;
    const std::int64_t y = static_cast<std::int64_t>(workArea.y) + geometry.y;
    const std::int64_t leftmost = static_cast<std::int64_t>(workArea.x) - geometry.width + iconWidth;
    placed.rect.x = static_cast<int>(std::clamp<std::int64_t>(std::max(x, leftmost), INT32_MIN, INT32_MAX));
    placed.rect.y = static_cast<int>(std::max<std::int64_t>(y, workArea.y));
    placed.maximized = stored.status == settings::ShowState::Maximized;
    return placed;
}

WindowPlacement PlacementOf(const ScreenRect& normalRect, const ScreenRect& workArea, bool maximized, int style, int theme)
{
    WindowPlacement placement;
    placement.left = normalRect.x - workArea.x;
    placement.top = normalRect.y - workArea.y;
    placement.right = placement.left + normalRect.width;
    placement.bottom = placement.top + normalRect.height;
    placement.status = maximized ? settings::ShowState::Maximized : settings::ShowState::Normal;
    placement.style = static_cast<std::uint32_t>(style);
    placement.theme = theme;
    return placement;
}

}  // namespace tarnwick::ui
