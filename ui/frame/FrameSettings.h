#pragma once

#include "ui/frame/WindowPlacement.h"

namespace tarnwick::ui {

// The values the main window keeps in the settings store: `Guistil` of section
// "Einstellungen" and the placement section "Tarnwick-Main". Reads give the
// default for a missing or damaged value; writes never fail visibly.
class FrameSettings {
public:
    static constexpr int kDefaultGuiStyle = 32770;

    virtual ~FrameSettings() = default;
    virtual int guiStyle() const = 0;
    virtual void setGuiStyle(int style) = 0;
    virtual WindowPlacement placement() const = 0;
    // Replaces the whole placement section.
    virtual void setPlacement(const WindowPlacement& placement) = 0;
};

// Keeps the values in memory only: for tests, and for a program without a
// settings store.
class MemoryFrameSettings : public FrameSettings {
public:
    int guiStyle() const override { return m_guiStyle; }
    void setGuiStyle(int style) override { m_guiStyle = style; }
    WindowPlacement placement() const override { return m_placement; }
    void setPlacement(const WindowPlacement& placement) override { m_placement = placement; }

private:
    int m_guiStyle = kDefaultGuiStyle;
    WindowPlacement m_placement;
};

}  // namespace tarnwick::ui
