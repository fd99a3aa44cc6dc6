#pragma once
// The viewer's font between the settings (a logical font: height in logical
// units at 96 dots per inch, weight 100-900, italic, underline, pitch and
// family, character set, face name) and Qt.
#include <QFont>

#include "settings/AppearanceSettings.h"

namespace tarnwick::ui {

// The font the stored values describe. A height of 0 means the viewer keeps
// its default font; the caller does not apply it then.
QFont FontFromSettings(const settings::FontSettings& stored);

// The stored form of `font`. The character set and the family bits of the
// pitch and family are kept from `previous`, as a Qt font has no such values.
settings::FontSettings SettingsFromFont(const QFont& font, const settings::FontSettings& previous);

}  // namespace tarnwick::ui
