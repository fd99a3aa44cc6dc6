#pragma once
// The front end's part of a run, the same for the desktop program and the
// command line: the header when a run starts, and the summary, the optional
// operation-log block and the emptying of the run log text when it ends.
#include <cstdint>
#include <string>
#include <string_view>

#include "engine/job/RunTally.h"

namespace tarnwick {

class Clock;
struct Failure;
class ResultList;
class RunLog;
enum class UserMessage;

struct LogSettings {
    bool enabled = false;  // "Ausgabe in Log Datei speichern"
    std::string path;  // the log file
    bool onlyReplace = true;  // search runs are not logged
};

// Empties the result list, switches auto-scroll on, sets the run log text to
// the header line and adds the header as an info item.
void BeginSearchRun(ResultList& results, RunLog& runLog, std::string_view searchText);
// The same for a replace run, with the replacement text as typed.
void BeginReplaceRun(ResultList& results, RunLog& runLog, std::string_view searchText, std::string_view replacementText);
// The same for a file-name conversion run.
void BeginRenameRun(ResultList& results, RunLog& runLog);

// Handles a completion message: the summary (for the messages that have
// one) goes into the run log text and the result list, the block is written
// when the settings ask for it, and the run log text is emptied.
//
// A search or replace that looked for a regular expression literally in a
// document adds the line "In Dokumenten wurde der Suchtext wörtlich
// gesucht." after its summary. A run that a stop cut short adds the line
// "Der Lauf wurde gestoppt; ..." after that (after its last entry when it
// has no summary), in the list and in the run log text. A search or replace that found nothing because no file
// passed the filters, met no error and was not stopped says so in the result
// list, after the usual summary; the run log text and the log file keep the
// summary as it always was.
//
// Returns the lines the list received, joined by CR LF (empty for an aborted
// run, or a replace in marked results that ran to its end).
std::string CompleteRun(UserMessage message, const RunTally& tally, ResultList& results, RunLog& runLog, const LogSettings& log,
                        const Clock& clock);

// A run that could not start, after Begin*Run: the refusal (from
// CheckRunStart) becomes an error item (the start folder with the reason
// beside it, or the reason alone) and the line "Der Lauf konnte nicht
// gestartet werden." closes the list. Nothing ran, so nothing is logged: the
// run log text is emptied.
void RefuseRun(const Failure& refusal, std::string_view startPath, ResultList& results, RunLog& runLog);

}  // namespace tarnwick
