#pragma once
// Whether a run can start at all: the checks both front ends make after
// their own input checks and before the worker is woken, so that a run that
// could never walk (no search text, a start folder that is missing or cannot
// be read, an expression that does not compile) is refused with its reason
// instead of ending as an empty completion. Plain functions; they read the
// file system, never change it.
#include <optional>
#include <string>
#include <string_view>

namespace tarnwick {

struct SearchJob;
enum class WorkerCommand;

struct StartRefusal {
    std::string path;  // the start folder the refusal is about; empty for the others
    std::string reason;  // German, as shown

    // "path: reason", or the reason alone: the message box's text and the
    // terminal program's line on standard error.
    std::string message() const;
};

// A search or a replace needs a search text.
std::optional<StartRefusal> CheckSearchText(WorkerCommand command, std::string_view searchText);

// "Dateien ohne Treffer auflisten" is for a search of file contents: a
// replace (which would change the files it cannot list) and a search of
// names alone (which has no contents to lack a hit) are refused. A
// file-name conversion does not look at the option.
std::optional<StartRefusal> CheckFilesWithoutHits(WorkerCommand command, const SearchJob& job);

// The start folder must exist, be a folder, and be listable and enterable.
std::optional<StartRefusal> CheckStartFolder(const std::string& startPath);

// A regular expression of a search or replace must compile as the run will
// compile it (`searchText` as typed).
std::optional<StartRefusal> CheckExpression(WorkerCommand command, const SearchJob& job, std::string_view searchText);

// The four checks in this order (search text, files without hits, start
// folder, expression); the first refusal, or nothing when the run can
// start. A file-name conversion needs only its folder.
std::optional<StartRefusal> CheckRunStart(WorkerCommand command, const SearchJob& job, std::string_view searchText,
                                          const std::string& startPath);

}  // namespace tarnwick
