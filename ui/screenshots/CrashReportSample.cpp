#include "ui/screenshots/CrashReportSample.h"

#include <fstream>

#include "crash/CrashLog.h"
#include "crash/ReportFiles.h"
#include "ui/common/EngineText.h"

namespace tarnwick::screenshots {
namespace {

constexpr char kTrace[] = "Program: /usr/bin/tarnwick\n"
                          "Process: 48213\n"
                          "Signal: 11 (SIGSEGV)\n"
                          "Code: 1 (SEGV_MAPERR)\n"
                          "Address: 0x10\n"
                          "\n"
                          "Stack:\n"
                          "/usr/bin/tarnwick(+0x8a1f3)[0x55d0c0a8a1f3]\n"
                          "/lib/x86_64-linux-gnu/libc.so.6(+0x3bfd0)[0x7f3a1c23bfd0]\n"
                          "/usr/bin/tarnwick(+0x1204c7)[0x55d0c0b204c7]\n"
                          "/lib/x86_64-linux-gnu/libQt6Core.so.6(+0x15d3a2)[0x7f3a1c95d3a2]\n";

std::string WriteFile(const QTemporaryDir& dir, const char* name, const std::string& bytes)
{
    const std::string path = ui::toPath(dir.filePath(QString::fromLatin1(name)));
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
}

std::vector<crash::ReportFile> SampleFiles(const QTemporaryDir& dir)
{
    crash::CrashFacts facts;
    facts.programPath = "/usr/bin/tarnwick";
    facts.signal = 11;
    facts.address = 0x10;
    facts.machine = "x86_64";
    facts.release = "6.1.0-13-amd64";
    facts.version = "#1 SMP PREEMPT_DYNAMIC Debian 6.1.55-1 (2023-09-29)";
    facts.cpuinfo = "processor\t: 0\nmodel name\t: Intel(R) Core(TM) i5-8250U CPU @ 1.60GHz\n";
    facts.maps = "55d0c0a00000-55d0c0c00000 r-xp 00000000 08:01 1 /usr/bin/tarnwick\n";
    std::string symbols("\x7f"
                        "ELF\x02\x01\x01\0\0\0\0\0\0\0\0\0\x03\0\x3e\0\x01\0\0\0\x40\x10\0\0\0\0\0\0",
                        32);
    for (int i = 0; i < 12; ++i) symbols += std::string(".debug_info\0\x2a\0\0\0\x05\0\x01\x08", 20);
    return {{WriteFile(dir, "tarnwick.trace", kTrace), crash::kCrashDumpDescription},
            {WriteFile(dir, "tarnwick.xml", crash::BuildCrashLog(facts)), crash::kCrashLogDescription},
            {WriteFile(dir, "tarnwick.sym", symbols), crash::kSymbolFileDescription}};
}

ui::CrashReport Report(const QTemporaryDir& dir)
{
    ui::CrashReport report;
    report.programBaseName = QStringLiteral("tarnwick");
    report.files = SampleFiles(dir);
    report.archivePath = dir.filePath(QStringLiteral("tarnwickq3XkP1.zip"));
    return report;
}

}  // namespace

SampleCrashReport::SampleCrashReport() : controller(Report(dir), uploader, prompts) {}

}  // namespace tarnwick::screenshots
