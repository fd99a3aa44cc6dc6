// The desktop program: one main window with the search form, the results and
// the viewer.
#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QStyleFactory>
#include <QTranslator>

#include "ui/MainFrameIcons.h"
#include "ui/ProgramWindow.h"

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  // The program speaks German: dates, numbers and the toolkit's own dialogs
  // (file dialogs, standard buttons) follow, where a translation is installed.
  QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
  QTranslator toolkitTexts;
  if (toolkitTexts.load(QLocale(), QStringLiteral("qtbase"), QStringLiteral("_"),
                        QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
    QApplication::installTranslator(&toolkitTexts);
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
