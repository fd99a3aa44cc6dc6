#pragma once
// The error items every part of a run adds the same way, and the item of a
// file listed for having no hit.
#include <string>
#include <system_error>

#include "results/ResultList.h"

namespace tarnwick {

class RunContext;

// A new error item naming `path`, with `message` in its remarks column,
// scrolled into view.
void ReportPathError(RunContext& run, const std::string& path, const std::string& message);

// A file that could not be opened: the run log line "Kann Datei nicht
// öffnen: " and an error item with the system's reason.
void ReportCannotOpen(RunContext& run, const std::string& path, std::error_code error);

// A directory whose listing could not be read (or broke off): the run log
// line "Kann Verzeichnis nicht lesen: <path>" and an error item with the
// system's reason.
void ReportUnreadableDirectory(RunContext& run, const std::string& path, std::error_code error);

// The error item for an exception that escaped the processing of one entry.
// Call inside a catch block: the exception being handled is examined.
// `unknownErrorText` stands for anything outside the program's exceptions.
void ReportEntryException(RunContext& run, const std::string& path, const std::string& unknownErrorText);

// A file searched to its end without a hit, in a run that lists those
// ("Dateien ohne Treffer auflisten"): `item` is its file item, added by the
// caller in its kind; it gets the remark "Ohne Treffer", the run log line is
// the path alone, and the file counter counts it.
void ReportFileWithoutHits(RunContext& run, const std::string& path, ItemHandle item);

}  // namespace tarnwick
