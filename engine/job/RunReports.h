#pragma once
// The one place where a run's errors are made: each function builds the
// error's texts and passes it to the run's sink as an error event
// (RunEvents.h), which decides how it shows. Also the end of a file listed
// for having no hit.
#include <string>
#include <string_view>
#include <system_error>

#include "engine/job/RunEvents.h"
#include "platform/Failure.h"

namespace tarnwick {

class RunContext;

// A file that could not be opened: the run log line "Kann Datei nicht
// öffnen: " and an error item with the system's reason.
void ReportCannotOpen(RunContext& run, const std::string& path, std::error_code error);

// A directory whose listing could not be read (or broke off): the run log
// line "Kann Verzeichnis nicht lesen: <path>" and an error item with the
// system's reason.
void ReportUnreadableDirectory(RunContext& run, const std::string& path, std::error_code error);

// The name a read or memory failure goes by in messages: CMemoryException
// for memory that could not be had (ENOMEM), CFileException for the others.
const char* FailureClassName(const Failure& failure);
// Its reason as shown: its detail, else the system's text for its code.
std::string FailureReason(const Failure& failure);

// The error item of an entry whose processing a read or memory failure
// ended: "FileExeption: " or "MemoryExeption: " and the reason.
void ReportEntryFailure(RunContext& run, const std::string& path, const Failure& failure);

// The error item for an exception that escaped the processing of one entry
// (memory a standard container could not have, or anything else C++
// throws). Call inside a catch block: the exception being handled is
// examined. `unknownErrorText` stands for anything but exhausted memory.
void ReportEntryException(RunContext& run, const std::string& path, const std::string& unknownErrorText);

// The search text does not compile; `compilerText` says why.
void ReportInvalidExpression(RunContext& run, const std::string& compilerText);

// The entry cannot do what the run asks (`text`: why), and is left alone.
void ReportUnsupported(RunContext& run, const std::string& path, const char* text);

// --- replacing ---
// The backup copy could not be made.
void ReportBackupFailure(RunContext& run, const std::string& path, std::error_code error);
// The same when the copy threw (memory a standard container could not have).
void ReportBackupException(RunContext& run, const std::string& path);
// The undo journal could not record a change; nothing is changed.
void ReportJournalFailure(RunContext& run, const std::string& path, std::error_code error);
// The file could not be held for its commit; nothing is changed.
void ReportSaveFailure(RunContext& run, const std::string& path, std::error_code error);
// The new contents could not take the old ones' place.
void ReportCommitFailure(RunContext& run, const std::string& path, std::error_code error);
// The replace could not begin in the file (a failure while probing it).
void ReportReplaceStartFailure(RunContext& run, const std::string& path, const Failure& failure);
// The temporary file of a split replace could not be made.
void ReportTempCreateFailure(RunContext& run, const std::string& path, std::error_code error);
// The message of that failure, for a marked item of replace in marked results.
std::string TempCreateFailureText(std::error_code error);
// Writing the temporary file failed: the file being replaced becomes an error.
void ReportTempWriteFailure(RunContext& run, std::error_code error);
// The temporary file could not take the source's place: the file being replaced becomes an error.
void ReportReplaceOriginalFailure(RunContext& run, const std::string& path, std::error_code error);
// A name could not be changed.
void ReportRenameFailure(RunContext& run, const std::string& path, std::error_code error);

// --- documents ---
// The document component could not be started (every later document tries again).
void ReportDocumentsUnavailable(RunContext& run, const std::string& path);
// The document could not be searched or changed; `text` says why.
void ReportDocumentFailure(RunContext& run, const std::string& path, const std::string& text);
// One part of the document could not be read; `text` names it and says why.
void ReportUnreadablePart(RunContext& run, const std::string& path, const std::string& text);
// One occurrence at `position` (as a hit shows it) that the document does not let change.
void ReportRefusedOccurrence(RunContext& run, const std::string& path, std::string_view position, const std::string& text);

// --- inside archives, compressed files, PDF and packages ---
// What is named by the composite path `path` could not be searched; `text`
// (the reader's German text) says why. The walk goes on with the next entry.
void ReportInsideDamaged(RunContext& run, const std::string& path, const std::string& text);
void ReportInsideEncrypted(RunContext& run, const std::string& path, const std::string& text);
void ReportInsideExpandsTooFar(RunContext& run, const std::string& path, const std::string& text);
// A replace run searched `path` inside and found hits it does not replace:
// the remark "In Archiven und PDF wird nicht ersetzt.", once per file.
void ReportInsideNotReplaced(RunContext& run, const std::string& path);

// A file searched to its end without a hit, in a run that lists those
// ("Dateien ohne Treffer auflisten"): `entry` gets its item, with the
// remark "Ohne Treffer"; the run log line is the path alone, and the file
// counter counts it.
void ReportFileWithoutHits(RunContext& run, const EntryStart& entry);

}  // namespace tarnwick
