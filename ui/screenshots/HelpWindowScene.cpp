// The program's own help window, as it opens where no browser is registered:
// the note saying why, above the help's start page.
#include <QFileInfo>
#include <QtDebug>

#include "ui/help/HelpMenuTexts.h"
#include "ui/help/HelpWindow.h"
#include "ui/screenshots/ScreenshotScenes.h"

namespace tarnwick::screenshots {
namespace {

void RenderHelpWindow(const QString& pngPath)
{
    const QString page = QStringLiteral(TARNWICK_SCREENSHOT_HELP_PAGE);
    if (!QFileInfo::exists(page)) qWarning("the help page %s is missing", qPrintable(page));
    ui::HelpWindow window;
    window.showPage(page,
                    QString::fromUtf8(ui::text::help::kOpenerNoBrowser) + QString::fromUtf8(ui::text::help::kHelpInOwnWindow));
    window.resize(WindowSize(window.size()));
    SaveWindowShot(window, pngPath);
}

const SceneRegistration kHelpWindow{QStringLiteral("help-window"), &RenderHelpWindow};

}  // namespace
}  // namespace tarnwick::screenshots
