#include "ui/common/TitleWidth.h"

namespace tarnwick::ui {

namespace {
// Icon and three buttons of about a line each, with their gaps, on either side.
constexpr int kDecorationLines = 8;
}  // namespace

int TitleFitWidth(int titleAdvance, int lineHeight) { return titleAdvance + kDecorationLines * lineHeight; }

}  // namespace tarnwick::ui
