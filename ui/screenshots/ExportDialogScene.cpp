// The export dialog set to export through a template, with hits and errors
// ticked, so the template row shows its controls enabled.
#include <QTemporaryDir>

#include "settings/ExportSettings.h"
#include "settings/ProfileStore.h"
#include "ui/results/ExportDialog.h"
#include "ui/screenshots/ScreenshotScenes.h"

namespace tarnwick::screenshots {
namespace {

void RenderExportDialog(const QString& pngPath)
{
    // Kept away from the user's own settings.
    QTemporaryDir scratch;
    settings::ProfileStore store((scratch.path() + QStringLiteral("/Tarnwick.conf")).toStdString());
    settings::ExportSettings stored;
    stored.type = ExportType::Template;
    stored.elements = ExportElement::Hits | ExportElement::Errors;
    stored.templatePath = "/usr/share/tarnwick/vorlage_export.txt";
    IgnoreFailure(settings::WriteExportSettings(store, stored));
    ui::ExportDialog dialog(store, "/usr/bin");
    SaveWindowShot(dialog, pngPath);
}

const SceneRegistration kExportDialog{QStringLiteral("export-dialog"), &RenderExportDialog};

}  // namespace
}  // namespace tarnwick::screenshots
