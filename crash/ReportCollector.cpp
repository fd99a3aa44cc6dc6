#include "crash/ReportCollector.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace tarnwick::crash {
namespace {

bool IsFile(const std::string& path)
{
    struct stat info {};
    return !path.empty() && ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

// Readable by the user alone, and never through a link planted in a shared
// temporary directory under the log's fixed name.
bool WriteText(const std::string& path, const std::string& text)
{
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0) return false;
    std::size_t done = 0;
    while (done < text.size()) {
        const ssize_t written = ::write(fd, text.data() + done, text.size() - done);
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) break;
        done += static_cast<std::size_t>(written);
    }
    return ::close(fd) == 0 && done == text.size();
}

}  // namespace

CollectedReport CollectReport(const std::string& tracePath, const CrashFacts& facts, const std::string& tempDir)
{
    CollectedReport report;
    report.baseName = ProgramBaseName(facts.programPath);
    if (report.baseName.empty()) report.baseName = "tarnwick";
    if (IsFile(tracePath)) report.files.push_back({tracePath, kCrashDumpDescription});
    const std::string logPath = CrashLogPathFor(tempDir, report.baseName);
    // A log that cannot be written is left out of the report.
    if (WriteText(logPath, BuildCrashLog(facts))) report.files.push_back({logPath, kCrashLogDescription});
    report.archive = CreateReportArchive(report.files, tempDir, report.baseName);
    return report;
}

}  // namespace tarnwick::crash
