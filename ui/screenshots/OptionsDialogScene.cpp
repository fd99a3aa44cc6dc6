// The options dialog with the log switched on and a directory of its own
// for the temporary file, so every group shows its controls enabled.
#include <QTemporaryDir>

#include "settings/FormState.h"
#include "settings/ProfileStore.h"
#include "ui/options/OptionsDialog.h"
#include "ui/screenshots/ScreenshotScenes.h"

namespace tarnwick::screenshots {
namespace {

void RenderOptionsDialog(const QString& pngPath)
{
    // Never written (nothing presses OK), but kept away from the user's own settings.
    QTemporaryDir scratch;
    settings::ProfileStore store((scratch.path() + QStringLiteral("/Tarnwick.conf")).toStdString());
    settings::OptionsValues values;
    values.useLog = 1;
    values.logFile = "/home/anna/Protokolle/tarnwick.log";
    values.tempDirIsCurrent = 0;
    values.tempDir = "/home/anna/tmp";
    ui::OptionsDialog dialog(values, settings::WarningBit::AllShown, store);
    SaveWindowShot(dialog, pngPath);
}

const SceneRegistration kOptionsDialog{QStringLiteral("options-dialog"), &RenderOptionsDialog};

}  // namespace
}  // namespace tarnwick::screenshots
