#pragma once
// Reads tarnwick-cli's command line into a validated request: the job with
// every option applied, the run strings and the start directory. Nothing is
// run here.
//
// How tarnwick-cli reports failures: a request that cannot start (a bad
// option, escape, date or file-type list) comes back from the parser as a
// failed Expected (platform/Expected.h) whose detail is the text for stderr,
// with exit status 2, nothing having been run; a bad
// expression or start folder is refused the same way, by the desktop
// program's checks (engine/job/RunStart), before the run; once a run has
// started, its failures are the engine's error items, printed on stderr as
// they come, and the exit status is 2 as well.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "engine/job/SearchJob.h"
#include "engine/replace/ConvertDirectory.h"
#include "engine/undo/JournalStore.h"
#include "engine/worker/RunLifecycle.h"
#include "platform/Expected.h"
#include "results/ExportRequest.h"

namespace tarnwick {

class Clock;

// The subcommand of a run; Help for --help and --version, which only print.
enum class CliCommand : std::uint8_t { Search, Replace, Lowercase, Undo, Help };

struct CliRequest {
    CliCommand command = CliCommand::Search;
    SearchJob job;
    std::string searchText;  // as typed
    std::string replacementTyped;  // as typed
    std::string replacement;  // after escape sequences were interpreted
    RenameArgument renameArgument = RenameArgument::All;  // lowercase: every name, or only names in capitals
    std::string directory;
    bool diff = false;  // replace --diff: print the changes as a unified diff, write nothing
    LogSettings log;  // the operation log: --log, or the stored settings with --settings
    std::optional<ExportRequest> exportRequest;  // --export / --out: save the results after the run
    // The undo journal of a run that changes files; none unless the program's settings were read.
    std::optional<UndoJournalOptions> undo;
    bool undoList = false;  // undo --list
    std::string undoRun;  // undo RUN; empty: the newest
    std::string helpText;  // Help: what goes to stdout
};

// `now` gives the default date range of the job. A command line that
// cannot start fails as InvalidInput.
Expected<CliRequest> ParseCommandLine(const std::vector<std::string>& arguments, const Clock& clock);

// Parses "YYYY-MM-DD HH:MM:SS" as local time; nullopt when it is not a valid
// date and time.
std::optional<std::int64_t> ParseLocalTime(const std::string& text);

}  // namespace tarnwick
