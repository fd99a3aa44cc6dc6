// The About box "Info über Tarnwick".
#include "ui/help/AboutBox.h"
#include "ui/screenshots/ScreenshotScenes.h"

namespace tarnwick::screenshots {
namespace {

void RenderAboutBox(const QString& pngPath)
{
    ui::AboutBox box([](QWidget*) { return std::optional<ui::UpdateChoice>(); });
    SaveWindowShot(box, pngPath);
}

const SceneRegistration kAboutBox{QStringLiteral("about-box"), &RenderAboutBox};

}  // namespace
}  // namespace tarnwick::screenshots
