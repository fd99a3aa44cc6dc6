#include "settings/MainWindowSettings.h"

#include <algorithm>

#include "settings/ProfileStore.h"

namespace tarnwick::settings {

std::string MainWindowSectionName(std::string_view applicationName)
{
    std::string name(applicationName);
    std::replace(name.begin(), name.end(), ' ', '_');
    return name + "-Main";
}

MainWindowSettings ReadMainWindowSettings(ProfileStore& store)
{
    const std::string section = MainWindowSectionName();
    MainWindowSettings s;
    s.left = store.GetProfileInt(section, "left", s.left);
    s.top = store.GetProfileInt(section, "top", s.top);
    s.right = store.GetProfileInt(section, "right", s.right);
    s.bottom = store.GetProfileInt(section, "bottom", s.bottom);
    s.status = store.GetProfileInt(section, "status", s.status);
    s.style = store.GetProfileInt(section, "Style", s.style);
    s.theme = store.GetProfileInt(section, "Theme", s.theme);
    return s;
}

Expected<void> WriteMainWindowSettings(ProfileStore& store, const MainWindowSettings& s)
{
    const std::string section = MainWindowSectionName();
    ProfileStore::Batch batch(store);
    batch.WriteProfileString(section, std::nullopt, {});
    batch.WriteProfileInt(section, "left", s.left);
    batch.WriteProfileInt(section, "top", s.top);
    batch.WriteProfileInt(section, "right", s.right);
    batch.WriteProfileInt(section, "bottom", s.bottom);
    batch.WriteProfileInt(section, "status", s.status);
    batch.WriteProfileInt(section, "Style", s.style);
    batch.WriteProfileInt(section, "Theme", s.theme);
    return batch.commit();
}

WindowGeometry PlaceMainWindow(const MainWindowSettings& s, int screenWidth, int screenHeight, int iconWidth, int iconHeight)
{
    const MainWindowSettings defaults;
    // Computed in 64 bits: hand-edited corners may lie far apart.
    std::int64_t width = static_cast<std::int64_t>(s.right) - s.left;
    std::int64_t height = static_cast<std::int64_t>(s.bottom) - s.top;
    if (width <= 0 || height <= 0 || width > INT32_MAX || height > INT32_MAX) {
        width = defaults.right - defaults.left;
        height = defaults.bottom - defaults.top;
    }
    WindowGeometry geometry;
    geometry.width = static_cast<int>(width);
    geometry.height = static_cast<int>(height);
    geometry.x = std::min(s.left, screenWidth - iconWidth);
    geometry.y = std::min(s.top, screenHeight - iconHeight);
    return geometry;
}

}  // namespace tarnwick::settings
