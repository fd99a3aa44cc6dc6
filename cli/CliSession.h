#pragma once
// Runs one tarnwick-cli request through the same worker the desktop program
// uses, and prints what the run produces while it runs.

namespace tarnwick {

class Clock;
class CodePage;
struct CliRequest;

// Prints the run log text (LF line ends) on `outFd` as each entry's outcome
// is passed on, then the summary; one line per error item on `errFd`. When
// `outFd` is closed by its reader, the run stops quietly. Returns the exit
// status: 0 something was found, 1 nothing, 2 the run could not start.
int RunCliRequest(const CliRequest& request, const CodePage& codePage, const Clock& clock, int outFd, int errFd);

}  // namespace tarnwick
