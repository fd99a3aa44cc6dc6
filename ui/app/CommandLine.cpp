#include "ui/app/CommandLine.h"

#include <QCommandLineOption>
#include <QCommandLineParser>

namespace tarnwick::ui {
namespace {

const QString kUsage = QStringLiteral("Aufruf: tarnwick [Optionen] [Datei]");

}  // namespace

CommandLineRequest ParseCommandLine(const QStringList& arguments)
{
    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QCommandLineOption help(QStringList{QStringLiteral("h"), QStringLiteral("help")});
    const QCommandLineOption version(QStringList{QStringLiteral("v"), QStringLiteral("version")});
    parser.addOption(help);
    parser.addOption(version);
    parser.addPositionalArgument(QStringLiteral("datei"), QString());

    CommandLineRequest request;
    if (!parser.parse(arguments)) {
        const QStringList unknown = parser.unknownOptionNames();
        const QString what = unknown.isEmpty() ? parser.errorText()
                                               : QStringLiteral("Unbekannte Option: ") +
                (unknown.first().size() == 1 ? QStringLiteral("-") : QStringLiteral("--")) + unknown.first();
        request.error = what + QLatin1Char('\n') + kUsage;
        return request;
    }
    request.help = parser.isSet(help);
    request.version = parser.isSet(version);
    const QStringList files = parser.positionalArguments();
    if (files.size() > 1) {
        request.error = QStringLiteral("Es kann nur eine Datei angegeben werden.\n") + kUsage;
        return request;
    }
    if (!files.isEmpty()) request.file = files.first();
    return request;
}

QString CommandLineHelp()
{
    return kUsage +
        QStringLiteral("\n\n"
                       "Durchsucht Dateien und ersetzt Text darin. Eine angegebene Datei wird beim Start\n"
                       "in der Vorschau geöffnet.\n\n"
                       "Optionen:\n"
                       "  -h, --help     zeigt diese Hilfe\n"
                       "  -v, --version  zeigt die Version\n"
                       "  --             alles Folgende ist ein Dateiname\n");
}

}  // namespace tarnwick::ui
