#pragma once
// What must be on the disk before a file changes: its undo journal entry,
// with the digest of the new contents. A commit asks its gate right before
// the rename (or, for a file rewritten in place, before the first write), so
// that the new contents are synced meanwhile; an error leaves the file as it
// is.
#include <string>
#include <system_error>

#include "platform/ContentDigest.h"

namespace tarnwick {

struct CommitIntent {
    Digest contents;  // what the file will hold
    // The name the new contents get in the file's folder before the rename
    // (left behind by a crash between the two); empty when rewritten in place.
    std::string temporaryName;
    bool inPlace = false;
};

class CommitGate {
public:
    virtual ~CommitGate() = default;
    virtual std::error_code ready(const CommitIntent& intent) = 0;
};

// The gate of the commits on this thread that are given none: a document
// saves itself through a component that knows nothing of the journal, so the
// run that asks it to save installs its gate around the save.
class ScopedCommitGate {
public:
    explicit ScopedCommitGate(CommitGate* gate);
    ~ScopedCommitGate();
    ScopedCommitGate(const ScopedCommitGate&) = delete;
    ScopedCommitGate& operator=(const ScopedCommitGate&) = delete;

private:
    CommitGate* m_outer;
};

CommitGate* CurrentCommitGate();

}  // namespace tarnwick
