#include "engine/undo/JournalHooks.h"

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
    ReportPathError(run, path, std::string(text::kUndoJournalFailed) + " " + path + ": " + SystemErrorText(error));
    run.journal->markFailed();
}

}  // namespace

CommitGate* JournalCommitGate::get() { return m_run.journal ? this : nullptr; }

std::error_code JournalCommitGate::ready()
{
    if (!m_run.journal) return {};
    const std::error_code error = m_run.journal->gate().ready();
    if (error) reportJournalFailure(m_run, m_path, error);
    m_failed = static_cast<bool>(error);
    return error;
}

bool JournalBeforeCommit(RunContext& run, const InputFile& file, std::uint64_t& entry, bool deferSync)
{
    entry = 0;
    if (!run.journal) return true;
    const std::error_code error = run.journal->BeforeContents(file, entry, deferSync);
    if (!error) return true;
    reportJournalFailure(run, file.path(), error);
    return false;
}

void JournalAfterCommit(RunContext& run, std::uint64_t entry, bool committed, const InputFile& file,
                        const std::string_view* written)
{
    if (run.journal && entry != 0) run.journal->AfterContents(entry, committed, file.realPath(), written);
}

bool JournalBeforeDocumentSave(RunContext& run, const std::string& path, std::uint64_t& entry, std::string& realPath)
{
    entry = 0;
    if (!run.journal) return true;
    // Closed again before the save: the document component takes its own lock.
    InputFile file;
    std::error_code error = file.open(path);
    if (!error) {
        realPath = file.realPath();
        error = run.journal->BeforeContents(file, entry);
        // The document component saves on its own: the entry must be on the disk first.
        if (!error) error = run.journal->gate().ready();
    }
    if (!error) return true;
    reportJournalFailure(run, path, error);
    return false;
}

void JournalAfterDocumentSave(RunContext& run, std::uint64_t entry, bool saved, const std::string& realPath)
{
    if (run.journal && entry != 0) run.journal->AfterContents(entry, saved, realPath, nullptr);
}

void JournalBackup(RunContext& run, const InputFile& file, const std::string& backupPath)
{
    if (run.journal) run.journal->NoteBackup(file, backupPath);
}

std::error_code JournaledRename(RunContext& run, const std::string& directory, const std::string& name,
                                const std::string& newName)
{
    // Pending commits name files by their paths before the rename.
    if (run.commits) run.commits->Flush();
    if (!run.journal || newName == name) return RenameEntry(directory, name, newName);
    std::string from, to;
    JoinPath(from, directory, name);
    JoinPath(to, directory, newName);
    std::uint64_t entry = 0;
    if (const std::error_code error = run.journal->BeforeRename(from, to, entry)) {
        reportJournalFailure(run, from, error);
        return error;
    }
    const std::error_code error = RenameEntry(directory, name, newName);
    run.journal->AfterRename(entry, !error);
    return error;
}

}  // namespace tarnwick
