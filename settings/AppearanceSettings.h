#pragma once
// Section `Einstellungen` (drawing style of the main window, the viewer's tab
// stops and word wrap) and section `Schriftart` (the viewer's font).
#include <cstdint>
#include <string>

#include "platform/Expected.h"

namespace tarnwick::settings {

class ProfileStore;

inline constexpr char kAppearanceSection[] = "Einstellungen";
inline constexpr char kFontSection[] = "Schriftart";

namespace GuiStyle {
inline constexpr std::uint32_t Xp = 32769;
inline constexpr std::uint32_t Office2003 = 32770;
}  // namespace GuiStyle

// `Guistil`: read when the main frame is created, written when it closes.
std::uint32_t ReadGuiStyle(ProfileStore& store);
Expected<void> WriteGuiStyle(ProfileStore& store, std::uint32_t style);

// `TabStops` is read when the viewer is created; `TabStops` and
// `Zeilenumbruch` are written when it is destroyed. The word-wrap state is
// never read back (the viewer starts wrapped).
std::uint32_t ReadTabStops(ProfileStore& store);
Expected<void> WriteViewerState(ProfileStore& store, std::uint32_t tabStops, bool wordWrap);

struct FontSettings {
    std::int32_t height = -13;  // Höhe; 0: no font of its own
    std::int32_t weight = 400;  // Dicke
    std::int32_t italic = 0;  // Kursiv
    std::int32_t underline = 0;  // Unterstrichen
    std::int32_t pitchAndFamily = 49;  // PitchAndFamily
    std::int32_t charSet = 1;  // CharSet
    std::string faceName = "Verdana";  // Art

    bool operator==(const FontSettings&) const = default;
};

// With a stored height of 0 the other values are not read (defaults).
FontSettings ReadFontSettings(ProfileStore& store);
// Writes each value that differs from what was read at creation; with a
// height of 0 only the height.
Expected<void> WriteFontSettings(ProfileStore& store, const FontSettings& current, const FontSettings& readAtCreation);

}  // namespace tarnwick::settings
