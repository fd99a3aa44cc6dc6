#pragma once

#include "ui/frame/FrameSettings.h"

namespace tarnwick::settings {
class ProfileStore;
}

namespace tarnwick::ui {

// The main window's values in the program's settings store.
class ProfileFrameSettings : public FrameSettings {
public:
    // `store` must outlive this object.
    explicit ProfileFrameSettings(settings::ProfileStore& store) : m_store(store) {}

    int guiStyle() const override;
    void setGuiStyle(int style) override;
    WindowPlacement placement() const override;
    void setPlacement(const WindowPlacement& placement) override;

private:
    settings::ProfileStore& m_store;
};

}  // namespace tarnwick::ui
