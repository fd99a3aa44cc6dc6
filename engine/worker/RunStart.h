#pragma once
// Whether a run can start at all: the checks both front ends make after
// their own input checks and before the worker is woken, so that a run that
// could never walk (no search text, a start folder that is missing or cannot
// be read, an expression that does not compile) is refused with its reason
// instead of ending as an empty completion. Plain functions; they read the
// file system, never change it.
//
// Each check gives a Refused failure whose detail is the text shown as it is
// (the message box, the terminal program's line on standard error). A
// refusal about the start folder also carries the system's error code
// (ENOENT or ENOTDIR for a folder that is not there, ENOTDIR for a path that
// is no folder, the reason it cannot be read otherwise), and its detail is
// the folder, ": " and the reason: the result list shows the two apart
// (RefuseRun).
#include <string>
#include <string_view>

#include "platform/Expected.h"

namespace tarnwick {

struct SearchJob;
enum class WorkerCommand;

// A search or a replace needs a search text.
Expected<void> CheckSearchText(WorkerCommand command, std::string_view searchText);

// "Dateien ohne Treffer auflisten" is for a search of file contents: a
// replace (which would change the files it cannot list) and a search of
// names alone (which has no contents to lack a hit) are refused. A
// file-name conversion does not look at the option.
Expected<void> CheckFilesWithoutHits(WorkerCommand command, const SearchJob& job);

// The start folder must exist, be a folder, and be listable and enterable.
Expected<void> CheckStartFolder(const std::string& startPath);

// A regular expression of a search or replace must compile as the run will
// compile it (`searchText` as typed).
Expected<void> CheckExpression(WorkerCommand command, const SearchJob& job, std::string_view searchText);

// The four checks in this order (search text, files without hits, start
// folder, expression); the first refusal, or success when the run can
// start. A file-name conversion needs only its folder.
Expected<void> CheckRunStart(WorkerCommand command, const SearchJob& job, std::string_view searchText,
                             const std::string& startPath);

}  // namespace tarnwick
