#pragma once
// Runs one tarnwick-cli request through the same worker the desktop program
// uses, and prints what the run produces while it runs.

namespace tarnwick {

class Clock;
class CodePage;
class StopSignals;
struct CliRequest;

// Prints the run log text (LF line ends) on `outFd` as each entry's outcome
// is passed on, then the summary; one line per error item on `errFd`. When
// `outFd` is closed by its reader, the run stops quietly; a signal caught by
// `signals` (may be null) stops it too. Returns the exit status, as grep
// does: 0 something was found or changed and nothing failed, 1 nothing was
// found and nothing failed, 2 the run could not start or an entry failed;
// after a stop by a signal, 128 + the signal's number.
int RunCliRequest(const CliRequest& request, const CodePage& codePage, const Clock& clock, int outFd, int errFd,
                  StopSignals* signals = nullptr);

}  // namespace tarnwick
