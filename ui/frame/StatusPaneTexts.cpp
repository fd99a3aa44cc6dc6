#include "ui/frame/StatusPaneTexts.h"

#include <algorithm>
#include <climits>
#include <cstdio>

namespace tarnwick::ui {

std::string CaretPaneText(bool previewActive, int line, int column)
{
    if (!previewActive) return {};
    char text[64];
    // Line and column arrive 0-based; the pane counts from 1.
    line = std::clamp(line, 0, INT_MAX - 1);
    column = std::clamp(column, 0, INT_MAX - 1);
    std::snprintf(text, sizeof text, kCaretPaneFormat, line + 1, column + 1);
    return text;
}

KeyboardLocks LocksFromNativeModifiers(std::uint32_t nativeModifiers)
{
    constexpr std::uint32_t kLockMask = 1u << 1;
    constexpr std::uint32_t kMod2Mask = 1u << 4;
    KeyboardLocks locks;
    locks.capsLock = (nativeModifiers & kLockMask) != 0;
    locks.numLock = (nativeModifiers & kMod2Mask) != 0;
    return locks;
}

}  // namespace tarnwick::ui
