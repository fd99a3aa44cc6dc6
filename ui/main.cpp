// The desktop program: one main window with the search form, the results and
// the viewer.
#include <QApplication>
#include <QStyleFactory>

#include "ui/MainFrameIcons.h"
#include "ui/ProgramWindow.h"

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  QApplication::setOrganizationName(QStringLiteral("Korvane"));
  QApplication::setApplicationName(QStringLiteral("Tarnwick"));
  QApplication::setApplicationVersion(QStringLiteral("2.0"));
  QGuiApplication::setDesktopFileName(QStringLiteral("tarnwick"));
  // One look on every desktop: the drawing styles are style sheets on top of it.
  QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
  QApplication::setWindowIcon(tarnwick::ui::ProgramIcon());

  // Settings, main window, search form and results, wired together.
  tarnwick::ui::ProgramWindow window;
  window.show();
  return QApplication::exec();
}
