// The desktop program: one main window with the search form, the results and
// the viewer.
#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QStyleFactory>
#include <QTimer>
#include <QTranslator>


#include "crash/CrashHandler.h"
#include "crash/ReportFiles.h"
#include "ui/MainFrameIcons.h"
#include "ui/ProgramWindow.h"

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  // A fatal signal starts tarnwick-crashreport, which shows the report in a
  // process of its own: a crashed process cannot draw windows safely.
  const tarnwick::crash::CrashHandler crashHandler(
      {tarnwick::crash::FindReporterProgram(tarnwick::crash::RunningProgramPath()), "support@korvane.de",
       "Say what I want"});
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
  // For trying the crash report by hand: TARNWICK_TEST_CRASH=1 crashes once the window is up.
  if (qEnvironmentVariableIntValue("TARNWICK_TEST_CRASH") == 1)
    QTimer::singleShot(0, [] {
      volatile int* volatile nowhere = nullptr;
      *nowhere = 1;
    });
  // The tip of the day comes up over the shown window, as the user left it.
  window.showStartUpTip();
  return QApplication::exec();
}
