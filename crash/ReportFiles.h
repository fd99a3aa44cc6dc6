#pragma once
// What a crash report consists of and where its files lie: the stack trace
// and the crash log in the temporary directory, named after the crashed
// program and made unique (crash/ExclusiveFile.h), each listed with the
// description the report dialog shows.
#include <cstdint>
#include <string>
#include <string_view>

namespace tarnwick::crash {

inline constexpr char kCrashDumpDescription[] = "Crash Dump";
inline constexpr char kCrashLogDescription[] = "Crash Log";
inline constexpr char kSymbolFileDescription[] = "Symboldatei";

// The program started on a crash, looked for beside the crashed program.
inline constexpr char kReporterProgramName[] = "tarnwick-crashreport";

struct ReportFile {
    std::string path;
    std::string description;
};

// `$TMPDIR` when it is set and not empty, else "/tmp".
std::string TempDirectory();
// The running program's path (the target of /proc/self/exe); empty when unknown.
std::string RunningProgramPath();
// The file name without directory and without its last extension.
std::string ProgramBaseName(std::string_view programPath);
// "<tempDir>/<base>-": the start of each report file's name, which goes on
// with 16 random hex digits and kTraceExtension or kCrashLogExtension.
std::string ReportFilePrefix(std::string_view tempDir, std::string_view baseName);
inline constexpr char kTraceExtension[] = ".trace";
inline constexpr char kCrashLogExtension[] = ".xml";

// The reporter beside `programPath`, else in ../libexec/tarnwick relative to
// it when one lies there; the first when neither exists (the start then fails
// and the crash ends with the trace file alone).
std::string FindReporterProgram(std::string_view programPath);

// An address that may be typed into "Ihre Email Adresse": it contains "@"
// and a "." somewhere after it.
bool IsValidEmailAddress(std::string_view address);

// The number shown before " KB": the size in kilobytes, rounded up, so a
// file of a few bytes does not read as empty.
std::uint64_t SizeInKilobytes(std::uint64_t bytes);

}  // namespace tarnwick::crash
