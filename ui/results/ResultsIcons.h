#pragma once
// Icons of the results pane, drawn once in code: the eight item kinds as one
// strip of 16 x 16 images in kind order, and one image per results command.
// Need a QGuiApplication; use on the user interface thread.
#include <QIcon>
#include <QPixmap>

#include "results/ResultList.h"

namespace tarnwick::ui {

inline constexpr int kKindIconSize = 16;
inline constexpr int kKindCount = 8;

// The eight kind images side by side (128 x 16).
const QPixmap& KindIconStrip();
// The icon of an item kind; a null icon for ItemKind::None (hits without a
// kind of their own show none).
const QIcon& KindIcon(ItemKind kind);
// The tool bar image of a results command; a null icon for other ids.
QIcon CommandIcon(int commandId);

}  // namespace tarnwick::ui
