#pragma once
// The commits of a replace run, gathered so that a sync covers many files:
// each file's new contents go to a temporary file beside it at once (and the
// disk starts writing them), while the file stays open and locked; every so
// many files, the journal records every intent, the journal and the
// temporary files are synced, all at once, then each name is checked and
// each file renamed into place, and the folders are synced once at the end
// of the run. A file's replacements are counted once it is in place; a file
// that fails then is reported as any failed commit. A rename in the run, a
// stop or the end of the run commits what is gathered first, so every file
// is whole and no temporary file stays.
//
// Worker thread only, like the run that owns it.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/BackgroundSync.h"
#include "platform/FileCommit.h"
#include "platform/InputFile.h"

namespace tarnwick {

class RunContext;

class CommitBatch {
public:
    explicit CommitBatch(RunContext& run) : m_run(run) {}
    ~CommitBatch() { flush(); }
    CommitBatch(const CommitBatch&) = delete;
    CommitBatch& operator=(const CommitBatch&) = delete;

    // Whether `file` can be committed through a batch (a hard-linked file is
    // rewritten in place instead).
    static bool takes(const InputFile& file);
    // Takes over `file` (open, locked, pinned, its journal entry made with a
    // deferred sync: `journalEntry`) and stages its new `contents`;
    // `replacements` are counted when they are in place. A file that must be
    // rewritten in place is committed at once. False when the contents
    // could not be staged or committed (reported; the file is unchanged).
    bool add(InputFile file, std::string_view contents, std::string_view previous, std::uint64_t journalEntry,
             std::int64_t replacements);
    // Commits everything gathered.
    void flush();

private:
    struct Pending {
        InputFile file;  // held open, and locked, until its rename
        StagedCommit staged;
        std::uint64_t journalEntry = 0;
        std::int64_t replacements = 0;
    };

    void reportFailure(const std::string& path, std::error_code error);
    void committed(const InputFile& file, std::int64_t replacements);

    RunContext& m_run;
    std::vector<Pending> m_pending;
    std::uint64_t m_bytes = 0;
    // Syncs that wait together wait for one commit of the file system;
    // one after the other, each pays for its own flush of the disk.
    BackgroundSync m_syncs{8};
};

}  // namespace tarnwick
