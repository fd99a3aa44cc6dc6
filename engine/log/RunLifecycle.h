#pragma once
// The front end's part of a run, the same for the desktop program and the
// command line: the header when a run starts, and the summary, the optional
// operation-log block and the emptying of the run log text when it ends.
#include <cstdint>
#include <string>
#include <string_view>

namespace tarnwick {

class Clock;
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
// when the settings ask for it, and the run log text is emptied. Returns the
// summary text (empty for messages without one).
//
// `admitted` is the number of files and names that passed the filters
// (negative: not known). A search or replace that found nothing because no
// file passed them says so in the result list, after the usual summary; the
// run log text and the log file keep the summary as it always was.
std::string CompleteRun(UserMessage message, std::int32_t hits, std::int32_t files, ResultList& results, RunLog& runLog,
                        const LogSettings& log, const Clock& clock, std::int32_t admitted = -1);

}  // namespace tarnwick
