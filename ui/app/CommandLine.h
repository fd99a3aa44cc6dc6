#pragma once
// The desktop program's command line: at most one file, opened in the
// viewer at start-up, and the switches --help and --version.
#include <QString>
#include <QStringList>

namespace tarnwick::ui {

struct CommandLineRequest {
    QString file;  // empty: start with an empty viewer
    QString error;  // a message for the user; the program does not start
    bool help = false;
    bool version = false;
};

// `arguments` as QCoreApplication::arguments() gives them, program name first.
CommandLineRequest ParseCommandLine(const QStringList& arguments);

QString CommandLineHelp();

}  // namespace tarnwick::ui
