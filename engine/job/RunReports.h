#pragma once
// The error items every part of a run adds the same way.
#include <string>

namespace tarnwick {

class RunContext;

// A new error item naming `path`, with `message` in its remarks column,
// scrolled into view.
void ReportPathError(RunContext& run, const std::string& path, const std::string& message);

// A file that could not be opened: the run log line "Kann Datei nicht
// öffnen: " and an error item with the system's reason.
void ReportCannotOpen(RunContext& run, const std::string& path, int error);

}  // namespace tarnwick
