// The crash report's contents dialog with the binary symbol file selected,
// so the contents field shows its hex dump.
#include "ui/crashreport/CrashReportContentsDialog.h"
#include "ui/screenshots/CrashReportSample.h"
#include "ui/screenshots/ScreenshotScenes.h"

namespace tarnwick::screenshots {
namespace {

void RenderCrashReportContents(const QString& pngPath)
{
    SampleCrashReport sample;
    ui::CrashReportContentsDialog dialog(sample.controller.report().files, {});
    dialog.selectFile(2);
    SaveWindowShot(dialog, pngPath);
}

const SceneRegistration kCrashReportContents{QStringLiteral("crash-report-contents"), &RenderCrashReportContents};

}  // namespace
}  // namespace tarnwick::screenshots
