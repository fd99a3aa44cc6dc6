#include "engine/replace/CommitBatch.h"

#include "engine/Messages.h"
#include "engine/job/RunContext.h"
#include "engine/job/RunReports.h"
#include "engine/undo/ContentHash.h"
#include "engine/undo/JournalHooks.h"
#include "engine/undo/RunJournal.h"
#include "platform/InputFile.h"
#include "platform/SystemError.h"
#include "results/ResultList.h"

namespace tarnwick {
namespace {

// Enough files that a sync serves many; few enough that a slow walk does not
// keep finished files waiting, and their temporary files in memory's reach.
constexpr std::size_t kMaxFiles = 64;
constexpr std::uint64_t kMaxBytes = 32ULL << 20;

}  // namespace

bool CommitBatch::Takes(const InputFile& file) { return file.linkCount() <= 1; }

bool CommitBatch::Add(const InputFile& file, std::string_view contents, std::uint64_t journalEntry, std::int64_t replacements)
{
    Pending pending;
    pending.path = file.path();
    pending.journalEntry = journalEntry;
    pending.replacements = replacements;
    pending.size = contents.size();
    ContentHash hash;
    hash.add(contents);
    pending.hash = hash.value();
    if (const std::error_code error = StageContents(file, contents, pending.staged)) {
        if (m_run.journal && journalEntry != 0) m_run.journal->AfterContentsHashed(journalEntry, false, 0, 0);
        const ItemHandle item = m_run.sink.AddFileItem(std::string(text::kSaveOriginalFailed) + " " + file.path() + ": " +
                                                           TruncateText(SystemErrorText(error)),
                                                       ItemKind::Error);
        m_run.sink.ScrollToItem(item);
        return false;
    }
    m_bytes += contents.size();
    m_pending.push_back(std::move(pending));
    if (m_pending.size() >= kMaxFiles || m_bytes >= kMaxBytes) Flush();
    return true;
}

void CommitBatch::Flush()
{
    if (m_pending.empty()) return;
    std::vector<Pending> pending;
    pending.swap(m_pending);
    m_bytes = 0;
    // Every journal entry of the batch and every new contents reach the disk
    // before any file changes.
    for (const Pending& file : pending) m_syncs.addPath(file.staged.tempPath);
    JournalCommitGate gate(m_run, pending.front().path);
    const std::error_code journalError = gate.ready();
    // After a failure each file is synced again on its own, to find which.
    const bool synced = !m_syncs.wait();
    for (const Pending& file : pending) {
        std::error_code error = journalError;
        if (error)
            AbandonStaged(file.staged);
        else
            error = CompleteStaged(file.staged, synced);
        if (m_run.journal && file.journalEntry != 0)
            m_run.journal->AfterContentsHashed(file.journalEntry, !error, file.size, file.hash);
        if (!error) {
            m_run.sink.AddCounts(static_cast<std::int32_t>(file.replacements), 1);
            continue;
        }
        if (!journalError) {
            const ItemHandle item = m_run.sink.AddFileItem(std::string(text::kSaveOriginalFailed) + " " + file.path + ": " +
                                                               TruncateText(SystemErrorText(error)),
                                                           ItemKind::Error);
            m_run.sink.ScrollToItem(item);
        }
        m_run.sink.LogMessageLine(text::kFileNotChanged, file.path);
    }
}

}  // namespace tarnwick
