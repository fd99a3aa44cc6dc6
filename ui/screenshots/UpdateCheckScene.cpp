// The update check after the server offered a newer version: its text
// shown, "Aktualisieren" and the backup option usable.
#include "ui/help/UpdateCheckDialog.h"
#include "ui/screenshots/ScreenshotScenes.h"

namespace tarnwick::screenshots {
namespace {

void RenderUpdateCheck(const QString& pngPath)
{
    ui::UpdateCheckDialog dialog;
    dialog.check().takeAnswer("<text>Eine neue Version von Tarnwick ist verfügbar: 2.1\n"
                              "Neu: schnellere Suche in großen Verzeichnissen.\n"
                              "Klicken Sie auf \"Aktualisieren\", um sie zu installieren.</text>"
                              "<akt>0</akt><ort>https://update.korvane.de/tarnwick/2.1/tarnwick.tar.gz</ort>",
                              true);
    SaveWindowShot(dialog, pngPath);
}

const SceneRegistration kUpdateCheck{QStringLiteral("update-check"), &RenderUpdateCheck};

}  // namespace
}  // namespace tarnwick::screenshots
