#include "ui/screenshots/ScreenshotScenes.h"

#include <QApplication>
#include <QColor>
#include <QPainter>
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

QSize& ChosenWindowSize()
{
    static QSize size;
    return size;
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

QPixmap ShotWithDialog(QWidget& window, const QPixmap& dialog, const QString& title)
{
    QPixmap shot = window.grab();
    QPainter painter(&shot);
    // Without a window manager there is no title bar: a plain one is drawn.
    const int titleHeight = 24;
    const QPoint at((shot.width() - dialog.width()) / 2, shot.height() - dialog.height() - 80);
    const QRect frameRect(at - QPoint(0, titleHeight), QSize(dialog.width(), dialog.height() + titleHeight));
    painter.fillRect(frameRect.translated(4, 4), QColor(0, 0, 0, 60));
    painter.fillRect(QRect(frameRect.topLeft(), QSize(frameRect.width(), titleHeight)), QColor(0x3a, 0x6e, 0xa5));
    painter.setPen(Qt::white);
    painter.drawText(QRect(frameRect.topLeft() + QPoint(8, 0), QSize(frameRect.width() - 16, titleHeight)),
                     Qt::AlignVCenter | Qt::AlignLeft, title);
    painter.drawPixmap(at, dialog);
    painter.setPen(QColor(0x50, 0x50, 0x50));
    painter.drawRect(frameRect.adjusted(0, 0, -1, -1));
    painter.end();
    return shot;
}

QSize WindowSize(QSize usual) { return ChosenWindowSize().isValid() ? ChosenWindowSize() : usual; }

void SetWindowSize(QSize size) { ChosenWindowSize() = size; }

}  // namespace tarnwick::screenshots
