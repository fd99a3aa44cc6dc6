#include "ui/frame/AppStyle.h"

namespace tarnwick::ui {
namespace {

// Colours of one look; the sheet below is the same for both.
struct Look {
    const char* windowBack;  // behind the bars
    const char* barTop;  // bar gradient
    const char* barBottom;
    const char* barBorder;
    const char* menuBack;
    const char* menuOpen;  // a menu-bar title whose menu is open
    const char* hotTop;  // hovered item gradient
    const char* hotBottom;
    const char* hotBorder;
    const char* pressedTop;
    const char* pressedBottom;
    const char* tabBack;
    const char* separator;
};

constexpr Look kXpLook = {"#ebe9e0", "#f7f6f1", "#e6e3d6", "#c5c2b2", "#fcfcf9", "#eeebe1", "#c1d2ee",
                          "#c1d2ee", "#316ac5", "#98b5e2", "#98b5e2", "#f1efe6", "#c5c2b2"};

constexpr Look k2003Look = {"#c4daf7", "#f3f8fe", "#b9d1f3", "#7f9ed5", "#fafcff", "#dfeafb", "#fff4cc",
                            "#ffd38e", "#e3a53a", "#fcc77a", "#f9a33e", "#dde9fa", "#9ebbe6"};

QString SheetFor(const Look& c)
{
    return QStringLiteral("QMainWindow { background: %1; }"
                          "QMenuBar { background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 %2, stop:1 %3);"
                          "  border-bottom: 1px solid %4; padding: 1px; }"
                          "QMenuBar::item { background: transparent; padding: 3px 8px; border: 1px solid transparent; }"
                          "QMenuBar::item:selected { background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 %7, stop:1 %8);"
                          "  border: 1px solid %9; border-radius: 2px; }"
                          "QMenuBar::item:pressed { background: %6; border: 1px solid %4; border-bottom-color: %6; }"
                          "QMenu { background: %5; border: 1px solid %4; padding: 2px; }"
                          "QMenu::item { padding: 4px 28px 4px 30px; border: 1px solid transparent; }"
                          "QMenu::item:selected { background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 %7, stop:1 %8);"
                          "  border: 1px solid %9; color: black; }"
                          "QMenu::item:disabled { color: #8c8c8c; }"
                          "QMenu::item:disabled:selected { background: transparent; border: 1px solid transparent; }"
                          "QMenu::separator { height: 1px; background: %13; margin: 3px 4px 3px 30px; }"
                          "QMenu::icon { padding-left: 6px; }"
                          "QToolBar { background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 %2, stop:1 %3);"
                          "  border: 1px solid %4; border-radius: 3px; padding: 2px; spacing: 2px; margin: 2px; }"
                          "QToolBar QToolButton { border: 1px solid transparent; border-radius: 2px; padding: 2px 3px; }"
                          "QToolBar QToolButton:hover { background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 %7,"
                          "  stop:1 %8); border: 1px solid %9; }"
                          "QToolBar QToolButton:pressed, QToolBar QToolButton:checked {"
                          "  background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 %10, stop:1 %11); border: 1px solid %9; }"
                          "QToolBar::separator { background: %13; width: 1px; margin: 4px 3px; }"
                          "QStatusBar { background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 %2, stop:1 %3);"
                          "  border-top: 1px solid %4; }"
                          "QStatusBar::item { border: 1px solid %13; border-radius: 1px; margin: 1px 1px; }"
                          "QStatusBar QLabel { padding: 0px 4px; }"
                          "QTabWidget#tabWindow::pane { border: 1px solid %4; background: white; top: -1px; }"
                          "QTabWidget#tabWindow::tab-bar { left: 4px; }"
                          "QTabWidget#tabWindow > QTabBar::tab {"
                          "  background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 %2, stop:1 %12);"
                          "  border: 1px solid %4; border-top-left-radius: 3px; border-top-right-radius: 3px;"
                          "  padding: 4px 16px; margin-right: 2px; }"
                          "QTabWidget#tabWindow > QTabBar::tab:selected { background: white; border-bottom-color: white; }"
                          "QTabWidget#tabWindow > QTabBar::tab:!selected { margin-top: 2px; }"
                          "QTabWidget#tabWindow > QTabBar::tab:!selected:hover {"
                          "  background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 %7, stop:1 %8); }"
                          "QSplitter#Nav::handle { background: %1; }"
                          "QWidget#searchFormRow { background: palette(window); border-bottom: 1px solid %4; }")
        .arg(QLatin1String(c.windowBack), QLatin1String(c.barTop), QLatin1String(c.barBottom), QLatin1String(c.barBorder),
             QLatin1String(c.menuBack), QLatin1String(c.menuOpen), QLatin1String(c.hotTop), QLatin1String(c.hotBottom),
             QLatin1String(c.hotBorder))
        .arg(QLatin1String(c.pressedTop), QLatin1String(c.pressedBottom), QLatin1String(c.tabBack), QLatin1String(c.separator));
}

}  // namespace

DrawingStyle DrawingStyleFromStored(int stored)
{
    if (stored == static_cast<int>(DrawingStyle::Xp)) return DrawingStyle::Xp;
    return DrawingStyle::Office2003;
}

QString DrawingStyleSheet(DrawingStyle style) { return SheetFor(style == DrawingStyle::Xp ? kXpLook : k2003Look); }

}  // namespace tarnwick::ui
