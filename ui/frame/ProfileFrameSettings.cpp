#include "ui/frame/ProfileFrameSettings.h"

#include <cstdint>

#include "settings/AppearanceSettings.h"
#include "settings/ProfileStore.h"

namespace tarnwick::ui {

int ProfileFrameSettings::guiStyle() const { return static_cast<int>(settings::ReadGuiStyle(m_store)); }

void ProfileFrameSettings::setGuiStyle(int style)
{
    IgnoreFailure(settings::WriteGuiStyle(m_store, static_cast<std::uint32_t>(style)));
}

WindowPlacement ProfileFrameSettings::placement() const { return settings::ReadMainWindowSettings(m_store); }

void ProfileFrameSettings::setPlacement(const WindowPlacement& placement)
{
    IgnoreFailure(settings::WriteMainWindowSettings(m_store, placement));
}

}  // namespace tarnwick::ui
