#include "crash/ReportCollector.h"

#include "crash/ExclusiveFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace tarnwick::crash {
namespace {

bool IsFile(const std::string& path)
{
    struct stat info {};
    return !path.empty() && ::lstat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

// A new file of a name nobody could know before, never one found there.
bool WriteNewFile(const std::string& prefix, const char* extension, const std::string& text, std::string& path)
{
    const int fd = CreateExclusiveFile(prefix, extension, path);
    if (fd < 0) return false;
    std::size_t done = 0;
    while (done < text.size()) {
        const ssize_t written = ::write(fd, text.data() + done, text.size() - done);
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) break;
        done += static_cast<std::size_t>(written);
    }
    if (::close(fd) == 0 && done == text.size()) return true;
    ::unlink(path.c_str());
    return false;
}

}  // namespace

CollectedReport CollectReport(const std::string& tracePath, const CrashFacts& facts, const std::string& tempDir)
{
    CollectedReport report;
    report.baseName = ProgramBaseName(facts.programPath);
    if (report.baseName.empty()) report.baseName = "tarnwick";
    if (IsFile(tracePath)) report.files.push_back({tracePath, kCrashDumpDescription});
    // A log that cannot be written is left out of the report.
    std::string logPath;
    if (WriteNewFile(ReportFilePrefix(tempDir, report.baseName), kCrashLogExtension, BuildCrashLog(facts), logPath))
        report.files.push_back({logPath, kCrashLogDescription});
    report.archive = CreateReportArchive(report.files, tempDir, report.baseName);
    return report;
}

}  // namespace tarnwick::crash
