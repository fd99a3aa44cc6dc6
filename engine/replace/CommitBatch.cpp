#include "engine/replace/CommitBatch.h"

#include "engine/Messages.h"
#include "engine/job/RunContext.h"
#include "engine/job/RunReports.h"
#include "engine/replace/ChangedFiles.h"
#include "engine/replace/JournalHooks.h"
#include "engine/undo/RunJournal.h"
#include "platform/SystemError.h"
#include "results/ResultList.h"

namespace tarnwick {
namespace {

// Enough files that a sync serves many; few enough that a slow walk does not
// keep finished files waiting, and their temporary files in memory's reach.
constexpr std::size_t kMaxFiles = 64;
constexpr std::uint64_t kMaxBytes = 32ULL << 20;

}  // namespace

bool CommitBatch::takes(const InputFile& file) { return file.linkCount() <= 1; }

void CommitBatch::reportFailure(const std::string& path, std::error_code error) { ReportCommitFailure(m_run, path, error); }

void CommitBatch::committed(const InputFile& file, std::int64_t replacements)
{
    if (m_run.changed) m_run.changed->note(file);
    m_run.sink.committed({CommitKind::Contents, file.path(), replacements});
}

bool CommitBatch::add(InputFile file, std::string_view contents, std::string_view previous, std::uint64_t journalEntry,
                      std::int64_t replacements)
{
    Pending pending;
    pending.journalEntry = journalEntry;
    pending.replacements = replacements;
    const Expected<StageResult> staged = StageContents(file, contents, pending.staged);
    if (!staged) {
        JournalAfterCommit(m_run, journalEntry, false);
        reportFailure(file.path(), staged.error().code);
        return false;
    }
    if (staged.value() == StageResult::InPlace) {
        // Its journal entry waits for the gate like every other's.
        JournalCommitGate gate(m_run, file.path(), journalEntry);
        const std::error_code error = CommitContents(file, contents, previous, gate.get());
        JournalAfterCommit(m_run, journalEntry, !error);
        if (!error) committed(file, replacements);
        if (error && !gate.failed()) reportFailure(file.path(), error);
        return !error;
    }
    m_bytes += contents.size();
    pending.file = std::move(file);
    m_pending.push_back(std::move(pending));
    if (m_pending.size() >= kMaxFiles || m_bytes >= kMaxBytes) flush();
    return true;
}

void CommitBatch::flush()
{
    if (m_pending.empty()) return;
    std::vector<Pending> pending;
    pending.swap(m_pending);
    m_bytes = 0;
    // Every intent of the batch and every new contents reach the disk before
    // any file changes.
    for (Pending& file : pending) m_syncs.addDescriptor(file.staged.temp.descriptor());
    std::error_code journalError;
    if (m_run.journal) {
        for (const Pending& file : pending) {
            if (file.journalEntry == 0) continue;
            journalError = m_run.journal->intend(file.journalEntry, file.staged.intent);
            if (journalError) break;
        }
        if (!journalError) journalError = m_run.journal->settle();
        if (journalError) {
            ReportJournalFailure(m_run, pending.front().file.path(), journalError);
            m_run.journal->markFailed();
        }
    }
    // After a failure each file is synced again on its own, to find which.
    const bool synced = !m_syncs.wait();
    for (Pending& file : pending) {
        std::error_code error = journalError;
        if (error)
            file.staged.temp.discard();
        else
            error = CompleteStaged(file.file, file.staged, synced);
        JournalAfterCommit(m_run, file.journalEntry, !error);
        if (!error) {
            committed(file.file, file.replacements);
            file.file.close();
            continue;
        }
        if (!journalError) reportFailure(file.file.path(), error);
        m_run.sink.note({NoteKind::NotChanged, file.file.path(), {}});
        file.file.close();
    }
}

}  // namespace tarnwick
