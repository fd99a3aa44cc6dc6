#pragma once

#include <QPixmap>
#include <QSize>
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

// `window`'s picture with `dialog` (already grabbed) drawn over its lower
// middle, in a plain frame with the title bar a window manager would draw.
QPixmap ShotWithDialog(QWidget& window, const QPixmap& dialog, const QString& title);

// The size of the program's main window in the pictures: `usual`, unless
// the run was asked for one screen size for every picture (--size).
QSize WindowSize(QSize usual);
void SetWindowSize(QSize size);

}  // namespace tarnwick::screenshots
