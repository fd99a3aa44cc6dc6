// The desktop program: one main window with the search form, the results and
// the viewer.
#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <QTranslator>

#include <cstdio>
#include <unistd.h>

#include "crash/CrashHandler.h"
#include "crash/ReportFiles.h"
#include "platform/LibrarySearchPath.h"
#include "ui/app/CommandLine.h"
#include "ui/app/ProgramWindow.h"
#include "ui/app/TerminationSignal.h"
#include "ui/common/ApplicationSetup.h"
#include "ui/frame/MainFrame.h"

int main(int argc, char* argv[])
{
    tarnwick::RestoreLibrarySearchPath();
    // Help and version need no display.
    QStringList rawArguments;
    for (int i = 0; i < argc; ++i) rawArguments << QString::fromLocal8Bit(argv[i]);
    const tarnwick::ui::CommandLineRequest early = tarnwick::ui::ParseCommandLine(rawArguments);
    if (early.error.isEmpty() && (early.help || early.version)) {
        std::printf("%s\n", qPrintable(early.help ? tarnwick::ui::CommandLineHelp() : QStringLiteral("Tarnwick 2.0")));
        return 0;
    }

    QApplication app(argc, argv);
    // A fatal signal starts tarnwick-crashreport, which shows the report in a
    // process of its own: a crashed process cannot draw windows safely.
    const tarnwick::crash::CrashHandler crashHandler(
        {tarnwick::crash::FindReporterProgram(tarnwick::crash::RunningProgramPath()), "support@korvane.de", "Say what I want"});
    QTranslator toolkitTexts;
    tarnwick::ui::SetUpApplication(toolkitTexts);
    QApplication::setApplicationVersion(QStringLiteral("2.0"));
    QGuiApplication::setDesktopFileName(QStringLiteral("tarnwick"));

    // One optional file, opened in the viewer once the window is up (the
    // toolkit has taken its own options out of the arguments by now).
    const tarnwick::ui::CommandLineRequest request = tarnwick::ui::ParseCommandLine(QApplication::arguments());
    if (!request.error.isEmpty()) {
        std::fprintf(stderr, "tarnwick: %s\n", qPrintable(request.error));
        // Started from a launcher nobody reads standard error.
        if (!::isatty(STDERR_FILENO)) QMessageBox::critical(nullptr, QStringLiteral("Tarnwick"), request.error);
        return 2;
    }
    if (request.help || request.version) {
        std::printf("%s\n", qPrintable(request.help ? tarnwick::ui::CommandLineHelp() : QStringLiteral("Tarnwick 2.0")));
        return 0;
    }

    // Settings, main window, search form and results, wired together.
    tarnwick::ui::ProgramWindow window;
    window.show();
    // A logout closes the windows as the user would, so the settings are
    // saved; also while a dialog (the tip of the day) waits for an answer.
    tarnwick::ui::TerminationSignal termination;
    bool quitting = false;
    QObject::connect(&termination, &tarnwick::ui::TerminationSignal::requested, &window,
                     [&quitting](tarnwick::ui::TerminationAction action) {
                         QApplication::closeAllWindows();
                         if (action == tarnwick::ui::TerminationAction::Quit) {
                             quitting = true;
                             QApplication::exit(0);
                         }
                     });
    // For trying the crash report by hand: TARNWICK_TEST_CRASH=1 crashes once the window is up.
    if (qEnvironmentVariableIntValue("TARNWICK_TEST_CRASH") == 1)
        QTimer::singleShot(0, [] {
            volatile int* volatile nowhere = nullptr;
            *nowhere = 1;
        });
    if (!request.file.isEmpty()) window.openDocumentFile(request.file);
    // The tip of the day comes up over the shown window, as the user left it.
    window.showStartUpTip();
    // Ended while the tip was up: there is nothing left to wait for.
    if (quitting || !window.frame().isVisible()) return 0;
    return QApplication::exec();
}
