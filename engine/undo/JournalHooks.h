#pragma once
// The points where a replace run tells its journal what it changes: right
// before and right after a file's contents are committed, and around a
// rename. Without a journal (turned off, or a search) each is a no-op.
#include <cstdint>
#include <string>
#include <string_view>
#include <system_error>

#include "platform/FileCommit.h"

namespace tarnwick {

class InputFile;
class RunContext;

// Passed to the commit after JournalBeforeCommit: the file changes only once
// its journal entry is on the disk. A failure is reported as the journal's
// and stops the run.
class JournalCommitGate final : public CommitGate {
public:
    JournalCommitGate(RunContext& run, const std::string& path) : m_run(run), m_path(path) {}
    std::error_code ready() override;
    // Null without a journal.
    CommitGate* get();
    // The journal failed here, and said so: the commit's own error adds nothing.
    bool failed() const { return m_failed; }

private:
    RunContext& m_run;
    const std::string& m_path;
    bool m_failed = false;
};

// Keeps the previous contents of `file` before they are replaced (on the
// disk once a JournalCommitGate is ready). False
// when the journal could not be written: the failure has been reported, the
// run is stopping, and the caller must leave the file as it is.
// With `deferSync`, the entry reaches the disk with its batch (CommitBatch).
bool JournalBeforeCommit(RunContext& run, const InputFile& file, std::uint64_t& entry, bool deferSync = false);

// Records the outcome of the commit; `written` are the new contents when
// they are in memory (null: read back from the file).
void JournalAfterCommit(RunContext& run, std::uint64_t entry, bool committed, const InputFile& file,
                        const std::string_view* written = nullptr);

// The same for a document, which the document component saves itself: the
// file is opened only to keep its contents. `realPath` receives where they live.
bool JournalBeforeDocumentSave(RunContext& run, const std::string& path, std::uint64_t& entry, std::string& realPath);
void JournalAfterDocumentSave(RunContext& run, std::uint64_t entry, bool saved, const std::string& realPath);

// The backup copy just made of `file`.
void JournalBackup(RunContext& run, const InputFile& file, const std::string& backupPath);

// RenameEntry, recorded first. A journal that cannot be written refuses the
// rename with its error (reported, the run stopping).
std::error_code JournaledRename(RunContext& run, const std::string& directory, const std::string& name,
                                const std::string& newName);

}  // namespace tarnwick
