#pragma once

#include <QString>

#include <functional>
#include <vector>

class QWidget;

namespace tarnwick::screenshots {

// One picture of the program: `render` writes the PNG file it is given.
struct Scene {
    QString name;  // also the file name: NAME.png
    std::function<void(const QString& pngPath)> render;
};

// Scenes register themselves from their own file:
//   static const tarnwick::screenshots::SceneRegistration kScene{"name", &RenderName};
// A second scene of the same name is ignored with a warning.
struct SceneRegistration {
    SceneRegistration(const QString& name, std::function<void(const QString& pngPath)> render);
};

// Every registered scene, sorted by name.
std::vector<Scene> AllScenes();

// Shows `window` off screen at its size, lets it lay itself out and paint,
// and saves what it shows; false (with a warning) when the file cannot be written.
bool SaveWindowShot(QWidget& window, const QString& pngPath);

}  // namespace tarnwick::screenshots
