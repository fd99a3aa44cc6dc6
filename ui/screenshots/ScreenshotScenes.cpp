#include "ui/screenshots/ScreenshotScenes.h"

#include <QApplication>
#include <QPixmap>
#include <QWidget>
#include <QtDebug>

#include <algorithm>

namespace tarnwick::screenshots {
namespace {

// Filled by static registrations before main runs, so built on first use.
std::vector<Scene>& Registry()
{
    static std::vector<Scene> scenes;
    return scenes;
}

}  // namespace

SceneRegistration::SceneRegistration(const QString& name, std::function<void(const QString&)> render)
{
    auto& scenes = Registry();
    const bool taken = std::any_of(scenes.begin(), scenes.end(), [&](const Scene& s) { return s.name == name; });
    if (taken) {
        qWarning("screenshot scene %s is registered twice; the first one is kept", qPrintable(name));
        return;
    }
    scenes.push_back({name, std::move(render)});
}

std::vector<Scene> AllScenes()
{
    std::vector<Scene> scenes = Registry();
    std::sort(scenes.begin(), scenes.end(), [](const Scene& a, const Scene& b) { return a.name < b.name; });
    return scenes;
}

bool SaveWindowShot(QWidget& window, const QString& pngPath)
{
    window.show();
    // Several rounds: queued layout work (splitter sizes, style sheets) settles after the first.
    for (int round = 0; round < 5; ++round) QApplication::processEvents();
    const QPixmap shot = window.grab();
    if (!shot.save(pngPath, "PNG")) {
        qWarning("cannot write %s", qPrintable(pngPath));
        return false;
    }
    return true;
}

}  // namespace tarnwick::screenshots
