#pragma once
// Runs one tarnwick-cli request through the same worker, result list and run
// log the desktop program uses, and prints what the run produced.
#include <iosfwd>

namespace tarnwick {

class Clock;
class CodePage;
struct CliRequest;

// Prints the run log text (LF line ends) and the summary on `out`, one line
// per error item on `err`. Returns the exit status: 0 something was found,
// 1 nothing, 2 the run could not start.
int RunCliRequest(const CliRequest& request, const CodePage& codePage, const Clock& clock, std::ostream& out,
                  std::ostream& err);

}  // namespace tarnwick
