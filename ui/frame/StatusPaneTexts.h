#pragma once

#include <cstdint>
#include <string>

namespace tarnwick::ui {

// The format of the caret pane; the pane is as wide as this text itself.
inline constexpr const char* kCaretPaneFormat = "Zeile: %0d, Spalte: %d";

// The caret pane's text: the viewer's 0-based caret line and column shown
// from 1 while the tab "Vorschau" is active, empty otherwise.
std::string CaretPaneText(bool previewActive, int line, int column);

// The lock keys shown by the indicator panes "UF", "NUM" and "RF".
struct KeyboardLocks {
    bool capsLock = false;
    bool numLock = false;
    bool scrollLock = false;

    bool operator==(const KeyboardLocks&) const = default;
};

// Reads the lock keys from the modifier state a key event of the X11 or
// Wayland platform carries (the X core bits: Lock for caps lock, Mod2 for num
// lock). Scroll lock has no fixed bit there and reads as off.
KeyboardLocks LocksFromNativeModifiers(std::uint32_t nativeModifiers);

}  // namespace tarnwick::ui
