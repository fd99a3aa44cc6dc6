// The crash report dialog as the reporter shows it after a crash, with an
// address and a description typed in.
#include <QLineEdit>
#include <QPlainTextEdit>

#include "ui/crashreport/CrashReportDialog.h"
#include "ui/screenshots/CrashReportSample.h"
#include "ui/screenshots/ScreenshotScenes.h"

namespace tarnwick::screenshots {
namespace {

void RenderCrashReport(const QString& pngPath)
{
    SampleCrashReport sample;
    ui::CrashReportDialog dialog(sample.controller);
    dialog.emailField()->setText(QStringLiteral("anna@example.de"));
    dialog.descriptionField()->setPlainText(
        QStringLiteral("Ersetzen in 2.000 Dateien gestartet, dann während der Suche auf „Stopp“ geklickt."));
    SaveWindowShot(dialog, pngPath);
}

const SceneRegistration kCrashReport{QStringLiteral("crash-report"), &RenderCrashReport};

}  // namespace
}  // namespace tarnwick::screenshots
