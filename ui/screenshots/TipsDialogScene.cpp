// The tip of the day with one of the program's tips.
#include <QTemporaryDir>

#include <fstream>

#include "settings/ProfileStore.h"
#include "ui/help/TipsDialog.h"
#include "ui/screenshots/ScreenshotScenes.h"

namespace tarnwick::screenshots {
namespace {

void RenderTipsDialog(const QString& pngPath)
{
    // Kept away from the user's own settings and tips.
    QTemporaryDir scratch;
    const std::string tips = (scratch.path() + QStringLiteral("/tips.txt")).toStdString();
    std::ofstream(tips) << "; Tipps\n"
                           "Sie möchten nicht alle Treffer ersetzen? Suchen Sie zuerst, markieren Sie die "
                           "gewünschten Treffer mit ihrem Kontrollkästchen und wählen Sie dann \"Ergebnisse\" > "
                           "\"Ausgewählte Elemente ersetzen\".\n";
    settings::ProfileStore store((scratch.path() + QStringLiteral("/Tarnwick.conf")).toStdString());
    ui::TipsDialog dialog(store, tips);
    SaveWindowShot(dialog, pngPath);
}

const SceneRegistration kTipsDialog{QStringLiteral("tips-dialog"), &RenderTipsDialog};

}  // namespace
}  // namespace tarnwick::screenshots
