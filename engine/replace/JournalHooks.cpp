#include "engine/replace/JournalHooks.h"

#include <sys/stat.h>

#include "engine/Messages.h"
#include "engine/job/RunContext.h"
#include "engine/job/RunReports.h"
#include "engine/replace/CommitBatch.h"
#include "engine/replace/Renaming.h"
#include "engine/undo/RunJournal.h"
#include "engine/walk/TreeWalk.h"
#include "platform/InputFile.h"
#include "platform/SystemError.h"

namespace tarnwick {
namespace {

void reportJournalFailure(RunContext& run, const std::string& path, std::error_code error)
{
    ReportJournalFailure(run, path, error);
    run.journal->markFailed();
}

}  // namespace

CommitGate* JournalCommitGate::get() { return m_run.journal ? this : nullptr; }

std::error_code JournalCommitGate::ready(const CommitIntent& intent)
{
    if (!m_run.journal) return {};
    std::error_code error = m_run.journal->intend(m_entry, intent);
    if (!error) error = m_run.journal->settle();
    if (error) reportJournalFailure(m_run, m_path, error);
    m_failed = static_cast<bool>(error);
    return error;
}

Expected<std::uint64_t> JournalBeforeCommit(RunContext& run, InputFile& file, const std::string_view* previous, bool deferSync)
{
    if (const std::error_code error = file.pin()) {
        ReportSaveFailure(run, file.path(), error);
        return systemFailure(error);
    }
    std::uint64_t entry = 0;
    if (!run.journal) return entry;
    const std::error_code error = run.journal->beforeContents(file, previous, entry, deferSync);
    if (!error) return entry;
    reportJournalFailure(run, file.path(), error);
    return systemFailure(error);
}

void JournalAfterCommit(RunContext& run, std::uint64_t entry, bool committed)
{
    if (run.journal && entry != 0) run.journal->afterContents(entry, committed);
}

Expected<std::uint64_t> JournalBeforeDocumentSave(RunContext& run, const std::string& path)
{
    std::uint64_t entry = 0;
    if (!run.journal) return entry;
    // Closed again before the save: the document component takes its own lock.
    InputFile file;
    std::error_code error = file.open(path, InputFile::Mode::Replace);
    if (!error) error = file.pin();
    if (!error) error = run.journal->beforeContents(file, nullptr, entry);
    if (!error) return entry;
    reportJournalFailure(run, path, error);
    return systemFailure(error);
}

void JournalBackup(RunContext& run, const InputFile& file, const std::string& backupPath, const Digest& digest)
{
    if (run.journal) run.journal->noteBackup(file, backupPath, digest);
}

std::error_code JournaledRename(RunContext& run, const std::string& directory, const std::string& name,
                                const std::string& newName)
{
    // Pending commits name files by their paths before the rename.
    if (run.commits) run.commits->flush();
    if (!run.journal || newName == name) return RenameEntry(directory, name, newName);
    std::string from, to;
    JoinPath(from, directory, name);
    JoinPath(to, directory, newName);
    struct stat st {};
    if (::lstat(from.c_str(), &st) != 0) return LastErrnoCode();
    std::uint64_t entry = 0;
    if (const std::error_code error = run.journal->beforeRename(from, to, FileIdentity::of(st), entry)) {
        reportJournalFailure(run, from, error);
        return error;
    }
    const std::error_code error = RenameEntry(directory, name, newName);
    run.journal->afterRename(entry, !error);
    return error;
}

}  // namespace tarnwick
