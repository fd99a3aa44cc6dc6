#include "crash/ReportFiles.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>

namespace tarnwick::crash {
namespace {

std::string DirectoryOf(std::string_view path)
{
    const std::size_t slash = path.rfind('/');
    if (slash == std::string_view::npos) return ".";
    return std::string(path.substr(0, slash == 0 ? 1 : slash));
}

bool IsExecutableFile(const std::string& path)
{
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) && ::access(path.c_str(), X_OK) == 0;
}

}  // namespace

std::string TempDirectory()
{
    const char* tmp = std::getenv("TMPDIR");
    return tmp && *tmp ? std::string(tmp) : std::string("/tmp");
}

std::string RunningProgramPath()
{
    std::string path(4096, '\0');
    const ssize_t length = ::readlink("/proc/self/exe", path.data(), path.size());
    if (length <= 0 || static_cast<std::size_t>(length) >= path.size()) return {};
    path.resize(static_cast<std::size_t>(length));
    return path;
}

std::string ProgramBaseName(std::string_view programPath)
{
    const std::size_t slash = programPath.rfind('/');
    std::string_view name = slash == std::string_view::npos ? programPath : programPath.substr(slash + 1);
    const std::size_t dot = name.rfind('.');
    if (dot != std::string_view::npos && dot > 0) name = name.substr(0, dot);
    return std::string(name);
}

std::string ReportFilePrefix(std::string_view tempDir, std::string_view baseName)
{
    return std::string(tempDir) + "/" + std::string(baseName) + "-";
}

std::string FindReporterProgram(std::string_view programPath)
{
    const std::string directory = DirectoryOf(programPath);
    const std::string beside = directory + "/" + kReporterProgramName;
    if (IsExecutableFile(beside)) return beside;
    const std::string libexec = directory + "/../libexec/tarnwick/" + kReporterProgramName;
    if (IsExecutableFile(libexec)) return libexec;
    return beside;
}

bool IsValidEmailAddress(std::string_view address)
{
    const std::size_t at = address.find('@');
    return at != std::string_view::npos && address.find('.', at + 1) != std::string_view::npos;
}

std::uint64_t SizeInKilobytes(std::uint64_t bytes) { return bytes / 1024 + (bytes % 1024 != 0 ? 1 : 0); }

}  // namespace tarnwick::crash
