// The main window as it opens for the first time: no stored settings, so the
// search form starts collapsed.
#include <QTemporaryDir>

#include "platform/Clock.h"
#include "settings/ProfileStore.h"
#include "ui/app/ProgramWindow.h"
#include "ui/frame/FrameSettings.h"
#include "ui/frame/MainFrame.h"
#include "ui/screenshots/ScreenshotScenes.h"

namespace tarnwick::screenshots {
namespace {

void RenderWithStyle(const QString& pngPath, int guiStyle)
{
    // A settings file of its own, so the picture never shows the user's settings.
    QTemporaryDir dir;
    const std::string profile = dir.filePath(QStringLiteral("Tarnwick.conf")).toStdString();
    if (guiStyle != ui::FrameSettings::kDefaultGuiStyle) {
        settings::ProfileStore(profile).WriteProfileInt("Einstellungen", "Guistil", static_cast<std::uint32_t>(guiStyle));
    }
    const FixedClock clock(1'710'408'600);  // 14 March 2024, in the morning
    ui::ProgramSetup setup;
    setup.profilePath = profile;
    setup.clock = &clock;
    ui::ProgramWindow window(setup);
    window.frame().resize(WindowSize(QSize(1000, 680)));
    SaveWindowShot(window.frame(), pngPath);
}

void RenderMainWindow(const QString& pngPath) { RenderWithStyle(pngPath, ui::FrameSettings::kDefaultGuiStyle); }

void RenderMainWindowXp(const QString& pngPath) { RenderWithStyle(pngPath, static_cast<int>(ui::DrawingStyle::Xp)); }

const SceneRegistration kMainWindow{QStringLiteral("main-window"), &RenderMainWindow};
const SceneRegistration kMainWindowXp{QStringLiteral("main-window-xp"), &RenderMainWindowXp};

}  // namespace
}  // namespace tarnwick::screenshots
