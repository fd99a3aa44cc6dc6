#pragma once
// WriteRunLog: appends one block (date line, run log text, empty line) to the
// operation log file. Runs on the thread that owns the run log text.
#include <string>

#include "platform/Clock.h"
#include "platform/Expected.h"

namespace tarnwick {

class ResultList;

// The date line of a block, e.g. "09.Dezember.2026, 14:03:07\r\n", in the
// process locale's month names.
std::string LogDateLine(std::int64_t seconds);

// Writes the block. A failure is System, its detail the error text ("Kann
// nicht in Log Datei schreiben: <reason>"), and nothing else is reported.
// A file that cannot be opened or created fails the same way.
Expected<void> WriteRunLog(const std::string& logPath, const std::string& runLogText, const Clock& clock);

// WriteRunLog that reports a failure as an error item of the result list.
void WriteRunLog(const std::string& logPath, const std::string& runLogText, const Clock& clock, ResultList& results);

}  // namespace tarnwick
