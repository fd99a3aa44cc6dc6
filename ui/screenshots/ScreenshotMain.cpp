// tarnwick-screenshots [--size WIDTHxHEIGHT] [OUTPUT-DIR] [SCENE...]
// Renders the named scenes (all when none is named) into OUTPUT-DIR/NAME.png,
// on the offscreen platform unless QT_QPA_PLATFORM says otherwise. --size
// gives every picture of the main window (and the help window) that size, to
// look at all of them as on one screen.
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTranslator>

#include <cstdio>

#include "ui/common/ApplicationSetup.h"
#include "ui/screenshots/ScreenshotScenes.h"

int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    // As the program itself starts: German locale and toolkit texts, style, icon.
    QTranslator toolkitTexts;
    tarnwick::ui::SetUpApplication(toolkitTexts);

    QStringList args = QApplication::arguments().mid(1);
    if (args.size() >= 2 && args.first() == QStringLiteral("--size")) {
        const QStringList parts = args.at(1).split(QLatin1Char('x'));
        const QSize size = parts.size() == 2 ? QSize(parts[0].toInt(), parts[1].toInt()) : QSize();
        if (!size.isValid() || size.isEmpty()) {
            std::fprintf(stderr, "tarnwick-screenshots: --size wants WIDTHxHEIGHT, not %s\n", qPrintable(args.at(1)));
            return 2;
        }
        tarnwick::screenshots::SetWindowSize(size);
        args = args.mid(2);
    }
    const QString outputDir = args.isEmpty() ? QStringLiteral("screenshots") : args.first();
    const QStringList wanted = args.mid(1);
    if (!QDir().mkpath(outputDir)) {
        std::fprintf(stderr, "tarnwick-screenshots: cannot create %s\n", qPrintable(outputDir));
        return 1;
    }

    int written = 0;
    for (const auto& scene : tarnwick::screenshots::AllScenes()) {
        if (!wanted.isEmpty() && !wanted.contains(scene.name)) continue;
        const QString path = QDir(outputDir).filePath(scene.name + QStringLiteral(".png"));
        QFile::remove(path);  // a picture left from an earlier run must not pass for this one
        scene.render(path);
        if (!QFile::exists(path)) {
            std::fprintf(stderr, "tarnwick-screenshots: scene %s wrote no picture\n", qPrintable(scene.name));
            return 1;
        }
        std::printf("%s\n", qPrintable(path));
        ++written;
    }
    if (written == 0) {
        std::fprintf(stderr, "tarnwick-screenshots: no scene matched\n");
        return 1;
    }
    return 0;
}
