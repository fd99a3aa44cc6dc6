#pragma once
// The points where a run that changes files tells its journal about them:
// right before and right after a file's contents are committed, and around a
// rename. Without a journal (turned off, or a search) each is a no-op.
#include <cstdint>
#include <string>
#include <string_view>
#include <system_error>

#include "platform/CommitGate.h"
#include "platform/ContentDigest.h"
#include "platform/Expected.h"

namespace tarnwick {

class InputFile;
class RunContext;

// Passed to the commit after JournalBeforeCommit: it records the intent (the
// new contents' digest) and waits until the entry is on the disk, right
// before the file changes. A failure is reported as the journal's and stops
// the run.
class JournalCommitGate final : public CommitGate {
public:
    JournalCommitGate(RunContext& run, const std::string& path, std::uint64_t entry) : m_run(run), m_path(path), m_entry(entry) {}
    std::error_code ready(const CommitIntent& intent) override;
    // Null without a journal.
    CommitGate* get();
    // The journal failed here, and said so: the commit's own error adds nothing.
    bool failed() const { return m_failed; }

private:
    RunContext& m_run;
    const std::string& m_path;
    std::uint64_t m_entry;
    bool m_failed = false;
};

// Keeps the previous contents of the open `file` (pinned here; `previous`
// when they are in memory) before they are replaced, and gives the journal
// entry for the commit (0 without a journal). Fails when the file could not
// be pinned or the journal could not be written: the failure has been
// reported, and the caller must leave the file as it is. With `deferSync`,
// the entry reaches the disk with its batch (CommitBatch).
Expected<std::uint64_t> JournalBeforeCommit(RunContext& run, InputFile& file, const std::string_view* previous,
                                            bool deferSync = false);

// Records the outcome of the commit.
void JournalAfterCommit(RunContext& run, std::uint64_t entry, bool committed);

// The same for a document, which the document component saves itself: the
// file is opened only to keep its contents.
Expected<std::uint64_t> JournalBeforeDocumentSave(RunContext& run, const std::string& path);

// The backup copy just made of `file`, with the digest of what it holds.
void JournalBackup(RunContext& run, const InputFile& file, const std::string& backupPath, const Digest& digest);

// RenameEntry, recorded first. A journal that cannot be written refuses the
// rename with its error (reported, the run stopping).
std::error_code JournaledRename(RunContext& run, const std::string& directory, const std::string& name,
                                const std::string& newName);

}  // namespace tarnwick
