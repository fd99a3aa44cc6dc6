#pragma once
// The commits of a replace run, gathered so that a sync covers many files:
// each file's new contents go to a temporary file beside it at once (and the
// disk starts writing them); every so many files, the journal entries and
// the temporary files are synced, all at once, then each is renamed into place, and the
// folders are synced once at the end of the run. A file's replacements are
// counted once it is in place; a file that fails then is reported as any
// failed commit. A rename in the run, a stop or the end of the run commits
// what is gathered first, so every file is whole and no temporary file stays.
//
// Worker thread only, like the run that owns it.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/BackgroundSync.h"
#include "platform/FileCommit.h"

namespace tarnwick {

class InputFile;
class RunContext;

class CommitBatch {
public:
    explicit CommitBatch(RunContext& run) : m_run(run) {}
    ~CommitBatch() { Flush(); }
    CommitBatch(const CommitBatch&) = delete;
    CommitBatch& operator=(const CommitBatch&) = delete;

    // Whether `file` can be committed through a batch (a hard-linked file is
    // rewritten in place instead).
    static bool Takes(const InputFile& file);
    // Stages the new `contents` of `file`, whose journal entry (deferred) is
    // `journalEntry`; `replacements` are counted when they are in place.
    // False when they could not be staged (reported; the file is unchanged).
    bool Add(const InputFile& file, std::string_view contents, std::uint64_t journalEntry, std::int64_t replacements);
    // Commits everything gathered.
    void Flush();

private:
    struct Pending {
        StagedCommit staged;
        std::string path;  // as the run names it
        std::uint64_t journalEntry = 0;
        std::uint64_t size = 0;
        std::uint64_t hash = 0;
        std::int64_t replacements = 0;
    };

    RunContext& m_run;
    std::vector<Pending> m_pending;
    std::uint64_t m_bytes = 0;
    // Syncs that wait together wait for one commit of the file system;
    // one after the other, each pays for its own flush of the disk.
    BackgroundSync m_syncs{8};
};

}  // namespace tarnwick
