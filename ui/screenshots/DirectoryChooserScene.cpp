// The directory chooser opened on a folder in the home, over a fixed
// in-memory tree so the picture never shows the machine's own folders.
#include <memory>
#include <string>
#include <vector>

#include "ui/dirchooser/DirectoryChooserDialog.h"
#include "ui/dirchooser/DirectoryChooserMemoryAccess.h"
#include "ui/screenshots/ScreenshotScenes.h"

namespace tarnwick::screenshots {
namespace {

void RenderDirectoryChooser(const QString& pngPath)
{
    auto access =
        std::make_shared<ui::MemoryDirectoryChooserAccess>(std::vector<std::string>{"/", "/home/anna", "/media/anna/USB-STICK"});
    for (const char* path :
         {"/etc", "/opt", "/srv", "/tmp", "/usr/share", "/var/log", "/home/anna/.config/tarnwick", "/home/anna/Bilder/Urlaub",
          "/home/anna/Dokumente/Angebote 2024", "/home/anna/Dokumente/Rechnungen", "/home/anna/Musik",
          "/home/anna/Projekte/tarnwick-demo/daten", "/home/anna/Projekte/tarnwick-demo/src", "/home/anna/Projekte/webseite/css",
          "/media/anna/USB-STICK/Sicherung"})
        access->addDirectory(path);
    access->addLink("/home/anna/Projekte/aktuell");

    // Typed in another case, as a user may: still found.
    ui::DirectoryChooserDialog dialog(QStringLiteral("/home/anna/projekte/TARNWICK-DEMO"), access);
    dialog.resize(480, 380);
    SaveWindowShot(dialog, pngPath);
}

const SceneRegistration kDirectoryChooser{QStringLiteral("directory-chooser"), &RenderDirectoryChooser};

}  // namespace
}  // namespace tarnwick::screenshots
