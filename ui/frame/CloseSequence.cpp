#include "ui/frame/CloseSequence.h"

namespace tarnwick::ui {

bool RunCloseSequence(CloseSteps& steps)
{
    steps.saveFormSettings();
    steps.writeGuiStyle();
    if (!steps.confirmViewerClose()) return false;
    steps.writePlacement();
    return true;
}

}  // namespace tarnwick::ui
