#pragma once
// The command line with which the crash handler starts the reporter:
//   tarnwick-crashreport --pid N --signal N --code N --address 0xHEX
//                        --trace PATH --program PATH --ready-fd N
// The reporter closes the ready descriptor once it has read what it needs
// from /proc/<pid>; until then the crashed process waits.
#include <cstdint>
#include <optional>
#include <string>
#include <sys/types.h>

namespace tarnwick::crash {

struct ReporterArguments {
    pid_t pid = 0;
    int signal = 0;
    int code = 0;
    std::uint64_t address = 0;  // the faulting address, 0 when the signal has none
    std::string tracePath;
    std::string programPath;
    int readyFd = -1;  // -1: nobody waits
};

// Nothing when an option is unknown, lacks its value, or a number does not
// parse; --pid and --signal are required.
std::optional<ReporterArguments> ParseReporterArguments(int argc, const char* const* argv);

}  // namespace tarnwick::crash
