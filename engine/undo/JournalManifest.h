#pragma once
// The text manifest of one run's undo journal: how it is written line by
// line and read back. Fields are separated by tabs; a tab, line feed or
// backslash in a path is escaped with a backslash.
//
//   tarnwick-undo VERSION | kind K | created SECONDS
//   root FOLDER                  a folder the run changed things in (its
//                                start folder, the folder of a link's target)
//   file N PATH PREVIOUS PREVIOUS-SIZE OFFSET PREVIOUS-SHA256
//                                before the contents of PATH change; they
//                                are kept in PREVIOUS from OFFSET
//   intend N SIZE SHA256 TEMPORARY-NAME MODE
//                                right before the change reaches PATH (MODE
//                                "rename" or "inplace"; TEMPORARY-NAME the
//                                name the new contents have beside PATH
//                                before the rename, "-" for none)
//   wrote N | failed N           the change happened, or did not
//   rename N FROM TO DEVICE INODE  before FROM (that object) is renamed to TO
//   restored N                   an undo put it back, or found it back
//   recovered N                  a clean-up after a crash settled it
//   closed                       the run ended (or a clean-up ended it)
//
// PATH, FROM and TO are absolute; PREVIOUS is "data" (the journal's data
// file), a name in the journal's folder, or the absolute path of a backup
// copy. Versions 1 and 2 (an FNV-1a hash of what was written, no intent, no
// digests) are still read; their relative paths are refused.
#include <cstdint>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "platform/ContentDigest.h"
#include "platform/FileIdentity.h"

namespace tarnwick {

enum class RunKind : std::uint8_t { Replace, SelectedReplace, Lowercase };

const char* RunKindName(RunKind kind);
// The German name shown by a listing.
const char* RunKindText(RunKind kind);

inline constexpr const char* kManifestName = "manifest";
inline constexpr const char* kDataName = "data";
inline constexpr int kJournalVersion = 3;

struct JournalEntry {
    enum class Type : std::uint8_t { Contents, Rename };
    Type type = Type::Contents;
    std::uint64_t number = 0;
    std::string path;  // contents: the file; rename: the old name
    std::string other;  // contents: where the previous contents are; rename: the new name
    std::uint64_t previousOffset = 0;  // where they start in `other`
    bool previousShared = false;  // `other` holds more than them (the data file)
    Digest previous;  // their size and digest (version 3)
    bool hasPreviousDigest = false;
    // The intent, recorded right before the change.
    bool intended = false;
    Digest intendedContents;
    std::string temporaryName;
    bool inPlace = false;
    FileIdentity renamed;  // rename: the object renamed
    // Versions 1 and 2: what was written, known only after the change.
    std::uint64_t legacyWrittenSize = 0;
    std::uint64_t legacyWrittenHash = 0;
    bool written = false;  // "wrote": the change happened
    bool failed = false;
    bool restored = false;
    bool recovered = false;
    // Why the entry cannot be acted on (an invalid line); empty when it can.
    std::string refusal;

    std::uint64_t previousSize() const { return previous.size; }
};

struct JournalInfo {
    std::string id;
    std::string folder;
    int version = kJournalVersion;
    RunKind kind = RunKind::Replace;
    std::int64_t created = 0;  // seconds since the epoch
    std::vector<std::string> roots;
    std::vector<JournalEntry> entries;  // in the order of the run
    bool closed = false;
    std::uint64_t bytes = 0;  // the folder's size on disk (apparent)

    std::size_t fileCount() const;
    std::size_t renameCount() const;
    bool partlyRestored() const;
};

// Appends `field` to `line`, escaped.
void AppendField(std::string& line, std::string_view field);

// Reads a manifest's text. An error for a text that is no journal (or one of
// a newer program); each line that is not well formed (a relative path, a
// path outside the run's roots, a malformed number or digest) gives its entry
// a refusal, and a line cut short at the end by a crash is passed over.
std::error_code ParseJournalManifest(std::string_view text, JournalInfo& info);

// Reads the journal in `folder`; an error when there is no readable manifest.
std::error_code ReadJournal(const std::string& folder, JournalInfo& info);

// Whether `path` is absolute and plain: no empty, "." or ".." component, no
// trailing slash.
bool IsPlainAbsolutePath(std::string_view path);
// Whether `path` lies inside the folder `root` (both plain absolute paths).
bool IsInside(std::string_view path, std::string_view root);

}  // namespace tarnwick
