#include "engine/job/RunReports.h"

#include "engine/Messages.h"
#include "engine/job/RunContext.h"
#include "platform/SystemError.h"

#include <cerrno>
#include <new>

namespace tarnwick {
namespace {

void report(RunContext& run, ErrorKind kind, ErrorPlace place, std::string_view path, std::string_view message)
{
    RunError error;
    error.kind = kind;
    error.place = place;
    error.path = path;
    error.message = message;
    run.sink.error(error);
}

// Memory that could not be had, as opposed to a file that could not be read.
bool isMemoryFailure(const Failure& failure) { return failure.code == std::errc::not_enough_memory; }

// "<step> <path>: <reason>", the form of most failures of a replace.
std::string stepFailure(const char* step, const std::string& path, const std::string& reason)
{
    std::string message(step);
    message.append(" ").append(path).append(": ").append(reason);
    return message;
}

}  // namespace

void ReportCannotOpen(RunContext& run, const std::string& path, std::error_code error)
{
    report(run, ErrorKind::CannotOpen, ErrorPlace::Entry, path, text::kCannotOpenFile + TruncateText(SystemErrorText(error)));
}

void ReportUnreadableDirectory(RunContext& run, const std::string& path, std::error_code error)
{
    report(run, ErrorKind::UnreadableDirectory, ErrorPlace::Entry, path,
           std::string(text::kCannotReadDirectory) + ": " + TruncateText(SystemErrorText(error)));
}

const char* FailureClassName(const Failure& failure)
{
    return isMemoryFailure(failure) ? text::kMemoryExceptionName : text::kFileExceptionName;
}

std::string FailureReason(const Failure& failure)
{
    if (!failure.detail.empty() || !failure.code) return failure.detail;
    return SystemErrorText(failure.code);
}

void ReportEntryFailure(RunContext& run, const std::string& path, const Failure& failure)
{
    const char* prefix = isMemoryFailure(failure) ? text::kMemoryExceptionPrefix : text::kFileExceptionPrefix;
    report(run, ErrorKind::EntryException, ErrorPlace::Entry, path, prefix + TruncateText(FailureReason(failure)));
}

void ReportEntryException(RunContext& run, const std::string& path, const std::string& unknownErrorText)
{
    const auto entryError = [&](const std::string& message) {
        report(run, ErrorKind::EntryException, ErrorPlace::Entry, path, message);
    };
    try {
        throw;
    } catch (const std::bad_alloc&) {
        entryError(text::kMemoryExceptionPrefix + SystemErrorText(ENOMEM));
    } catch (...) {
        entryError(unknownErrorText);
    }
}

void ReportInvalidExpression(RunContext& run, const std::string& compilerText)
{
    report(run, ErrorKind::InvalidExpression, ErrorPlace::Message, {}, text::kInvalidRegex + compilerText);
}

void ReportUnsupported(RunContext& run, const std::string& path, const char* text)
{
    report(run, ErrorKind::Unsupported, ErrorPlace::Entry, path, text);
}

void ReportInsideDamaged(RunContext& run, const std::string& path, const std::string& text)
{
    report(run, ErrorKind::InsideDamaged, ErrorPlace::Entry, path, TruncateText(text));
}

void ReportInsideEncrypted(RunContext& run, const std::string& path, const std::string& text)
{
    report(run, ErrorKind::InsideEncrypted, ErrorPlace::Entry, path, text);
}

void ReportInsideExpandsTooFar(RunContext& run, const std::string& path, const std::string& text)
{
    report(run, ErrorKind::InsideExpandsTooFar, ErrorPlace::Entry, path, text);
}

void ReportInsideNotReplaced(RunContext& run, const std::string& path)
{
    run.sink.note({NoteKind::InsideNotReplaced, path, text::kInsideNotReplaced});
}

void ReportBackupFailure(RunContext& run, const std::string& path, std::error_code error)
{
    report(run, ErrorKind::Backup, ErrorPlace::Entry, path, stepFailure(text::kBackupFailed, path, SystemErrorText(error)));
}

void ReportBackupException(RunContext& run, const std::string& path)
{
    report(run, ErrorKind::Backup, ErrorPlace::Entry, path, text::kBackupFailed);
}

void ReportJournalFailure(RunContext& run, const std::string& path, std::error_code error)
{
    report(run, ErrorKind::Journal, ErrorPlace::Entry, path, stepFailure(text::kUndoJournalFailed, path, SystemErrorText(error)));
}

void ReportSaveFailure(RunContext& run, const std::string& path, std::error_code error)
{
    report(run, ErrorKind::Commit, ErrorPlace::Entry, path, stepFailure(text::kSaveOriginalFailed, path, SystemErrorText(error)));
}

void ReportCommitFailure(RunContext& run, const std::string& path, std::error_code error)
{
    report(run, ErrorKind::Commit, ErrorPlace::Message, path,
           stepFailure(text::kSaveOriginalFailed, path, TruncateText(SystemErrorText(error))));
}

void ReportReplaceStartFailure(RunContext& run, const std::string& path, const Failure& failure)
{
    report(run, ErrorKind::EntryException, ErrorPlace::Entry, path,
           std::string(text::kStartReplaceFailed) + FailureClassName(failure) + ": " + TruncateText(FailureReason(failure)));
}

std::string TempCreateFailureText(std::error_code error) { return text::kTempCreateFailed + SystemErrorText(error); }

void ReportTempCreateFailure(RunContext& run, const std::string& path, std::error_code error)
{
    report(run, ErrorKind::TempFile, ErrorPlace::Entry, path, TempCreateFailureText(error));
}

void ReportTempWriteFailure(RunContext& run, std::error_code error)
{
    report(run, ErrorKind::TempFile, ErrorPlace::CurrentEntry, {},
           std::string(text::kTempWriteFailed) + text::kFileExceptionName + ": " + TruncateText(SystemErrorText(error)));
}

void ReportReplaceOriginalFailure(RunContext& run, const std::string& path, std::error_code error)
{
    report(run, ErrorKind::Commit, ErrorPlace::CurrentEntry, path,
           stepFailure(text::kReplaceOriginalFailed, path, TruncateText(SystemErrorText(error))));
}

void ReportRenameFailure(RunContext& run, const std::string& path, std::error_code error)
{
    report(run, ErrorKind::Rename, ErrorPlace::Message, path,
           stepFailure(text::kRenameFailed, path, TruncateText(SystemErrorText(error))));
}

void ReportDocumentsUnavailable(RunContext& run, const std::string& path)
{
    report(run, ErrorKind::DocumentsUnavailable, ErrorPlace::Message, path, std::string(text::kWordCannotStart) + ": " + path);
}

void ReportDocumentFailure(RunContext& run, const std::string& path, const std::string& text)
{
    report(run, ErrorKind::Document, ErrorPlace::Entry, path, text);
}

void ReportUnreadablePart(RunContext& run, const std::string& path, const std::string& text)
{
    report(run, ErrorKind::DocumentPart, ErrorPlace::Entry, path, text);
}

void ReportRefusedOccurrence(RunContext& run, const std::string& path, std::string_view position, const std::string& text)
{
    RunError error;
    error.kind = ErrorKind::RefusedOccurrence;
    error.place = ErrorPlace::Occurrence;
    error.path = path;
    error.message = text;
    error.position = position;
    run.sink.error(error);
}

void ReportFileWithoutHits(RunContext& run, const EntryStart& entry)
{
    run.sink.beginEntry(entry);
    run.sink.note({NoteKind::WithoutHits, entry.path, {}});
    run.sink.endEntry({0, 1});
}

}  // namespace tarnwick
