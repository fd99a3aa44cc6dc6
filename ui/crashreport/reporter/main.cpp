// The crash reporter: started by the desktop program's crash handler while
// the crashed process waits. It reads what it needs from /proc/<pid>, lets
// the crashed process end, packs the report and shows the report dialog.
#include <QApplication>
#include <QTranslator>

#include <unistd.h>

#include <cstdio>

#include "crash/CrashLog.h"
#include "crash/ReportCollector.h"
#include "crash/ReporterArguments.h"
#include "settings/CrashReportSettings.h"
#include "settings/ProfileStore.h"
#include "ui/common/ApplicationSetup.h"
#include "ui/common/EngineText.h"
#include "ui/crashreport/CrashReportDialog.h"
#include "ui/crashreport/CrashReportPrompts.h"
#include "ui/crashreport/CrashReportUpload.h"

namespace {

tarnwick::ui::CrashReport ToReport(const tarnwick::crash::CollectedReport& collected)
{
    tarnwick::ui::CrashReport report;
    report.programBaseName = tarnwick::ui::fromPath(collected.baseName);
    report.files = collected.files;
    report.archivePath = tarnwick::ui::fromPath(collected.archive.path);
    report.archiveError = QString::fromLocal8Bit(collected.archive.error.c_str());
    return report;
}

}  // namespace

int main(int argc, char* argv[])
{
    using namespace tarnwick;
    const std::optional<crash::ReporterArguments> arguments = crash::ParseReporterArguments(argc, argv);
    if (!arguments) {
        std::fprintf(stderr,
                     "Aufruf: %s --pid N --signal N [--code N] [--address 0xHEX] [--trace DATEI] "
                     "[--program PFAD] [--ready-fd N]\n",
                     argc > 0 ? argv[0] : "tarnwick-crashreport");
        return 2;
    }
    // Everything from /proc/<pid> first: the crashed process ends as soon as
    // the ready descriptor closes.
    const crash::CrashFacts facts = crash::CollectCrashFacts(*arguments);
    if (arguments->readyFd >= 0) ::close(arguments->readyFd);
    const crash::CollectedReport collected = crash::CollectReport(arguments->tracePath, facts, crash::TempDirectory());

    QApplication app(argc, argv);
    QTranslator toolkitTexts;
    ui::SetUpApplication(toolkitTexts);

    settings::ProfileStore store(settings::DefaultProfilePath());
    ui::HttpReportUploader uploader(QString::fromStdString(settings::ReadCrashReportServer(store)));
    ui::DesktopCrashReportPrompts prompts;
    ui::CrashReportController controller(ToReport(collected), uploader, prompts);
    ui::CrashReportDialog dialog(controller);
    prompts.setParent(&dialog);
    dialog.exec();
    controller.removeReportFiles();
    return 0;
}
