#pragma once
// Putting new contents in place of a file's so that a detected failure, a
// crash or another program's meddling loses nothing and misdirects nothing.
//
// The file was opened once (InputFile, exclusive lock held until the end)
// and pinned: its folder is open and its name there known. The new bytes go
// to a temporary file in that folder, which gets every attribute of the old
// file (owner, group, mode bits, extended attributes, ACLs) and reaches the
// disk; then the gate (the undo journal) records the intent; then the name
// is checked to still be the opened file and the temporary file takes its
// place with one rename through the folder's descriptor. A name that changed
// meanwhile is NameChangedError() and nothing is written anywhere.
//
// A file whose new copy could not carry everything the old one had (several
// hard links, another user's file, an attribute only root may set) is
// rewritten in place instead, after room for the new size was reserved; a
// write that fails halfway puts the old bytes back. A symbolic link stays a
// link and its target gets the new contents.
//
// Failures are returned as error codes; StageContents, which also gives a
// value, as an Expected.
#include <string>
#include <string_view>
#include <system_error>

#include "platform/CommitGate.h"
#include "platform/ContentDigest.h"
#include "platform/Expected.h"
#include "platform/FolderSync.h"
#include "platform/OutputFile.h"

namespace tarnwick {

class InputFile;

// Replaces the contents of the open `file` (opened for a replace; pinned
// here when it is not yet) by `contents`. `previous` holds its current
// contents, used to restore a file rewritten in place when a write fails
// halfway. Without a gate, the thread's current one (ScopedCommitGate).
std::error_code CommitContents(InputFile& file, std::string_view contents, std::string_view previous, CommitGate* gate = nullptr);

// Lets the finished temporary file `temp` take the place of `file`'s
// contents. A temporary file in another folder (perhaps on another file
// system) is copied next to the file first, so that the last step is still
// a rename. `temp` is used up either way.
std::error_code InstallTemporaryFile(InputFile& file, OutputFile& temp, CommitGate* gate = nullptr);

// A commit in two halves, so that the new contents of many files reach the
// disk together instead of one sync after the other: StageContents writes
// them to a temporary file beside `file` and starts handing them to the
// disk; the caller has the journal record every intent; CompleteStaged waits
// for the contents (unless `synced`) and renames the file into place.
struct StagedCommit {
    OutputFile temp;
    CommitIntent intent;
};
enum class StageResult : std::uint8_t {
    Staged,
    InPlace,  // the file must be rewritten in place: commit it with CommitContents
};
// A failure holds the system's error code; nothing is left behind then.
Expected<StageResult> StageContents(InputFile& file, std::string_view contents, StagedCommit& staged);
std::error_code CompleteStaged(InputFile& file, StagedCommit& staged, bool synced = false);

// Copies the open `file` to the new path `target` (which must not exist,
// nor be a link), with what attributes can be carried and never more open
// than the file; `digest` receives the digest of what was copied.
std::error_code CopyToNewFile(const InputFile& file, const std::string& target, Digest* digest = nullptr);

}  // namespace tarnwick
