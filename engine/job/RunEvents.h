#pragma once
// What a run reports, one event per result, in the order the engine finds
// them: an entry that gets an item of its own, its hits, name hits, errors,
// notes, replacements committed to disk, the end of an entry and of the run;
// and what a replace in marked results did to the items it was given
// (MarkedChange), which name those items instead of adding new ones.
// The records only point at the producer's texts: a sink that keeps them
// copies them before it returns.
//
// How an event looks in the result list, the run log text or a terminal is
// the sink's business (StoreSink, CliPrinter); the run log line of each is
// formatted in one place (RunEventLines.h).
#include <cstdint>
#include <string_view>

#include "results/ItemKind.h"

namespace tarnwick {

// What a sink answers: go on, or end the run as a stop would.
enum class SinkReply : std::uint8_t { Continue, Stop };

enum class EntryKind : std::uint8_t {
    File,  // searched byte-wise; its item carries its encoding code
    Document,  // searched through the document component
};

// An entry gets its item: a file when its first hit is known (or when it is
// listed for having none), a document likewise. Its hits follow.
struct EntryStart {
    std::string_view path;
    EntryKind kind = EntryKind::File;
    std::int32_t encoding = 0;  // of a file: the text encoding code
};

enum class HitKind : std::uint8_t {
    Found,  // a search found it
    Replaced,  // a replace run replaced it (committed to disk later, or not at all)
};

// One hit of the entry begun last.
struct HitEvent {
    HitKind kind = HitKind::Found;
    // Found through the document component: positions count characters and
    // the run log line begins with "Mit Word: ".
    bool inDocument = false;
    std::string_view path;
    std::int64_t position = 0;
    // The position as shown for a hit in a named part of a document
    // ("Fußnote 3: 12"); empty: the number.
    std::string_view positionText;
    std::int64_t length = 0;
    std::string_view context;
    // Where the hit lies in the context, in its characters; -1: `length`.
    std::int32_t highlightStart = 0;
    std::int64_t highlightLength = -1;
};

enum class NameHitKind : std::uint8_t {
    Found,  // a search found the text in the name
    Renamed,  // a replace run found it and is about to change the name
    Lowercased,  // the file-name conversion changed the name
};

struct NameHitEvent {
    NameHitKind kind = NameHitKind::Found;
    bool directory = false;
    std::string_view path;
    // A search's name hit keeps the length of the search text; -1: none.
    std::int64_t searchLength = -1;
};

// What went wrong; decides the run log line that goes with the error.
enum class ErrorKind : std::uint8_t {
    CannotOpen,  // a file could not be opened
    UnreadableDirectory,  // a folder could not be listed
    EntryException,  // an exception escaped the processing of one entry
    InvalidExpression,  // the search text is no valid regular expression
    DocumentsUnavailable,  // the document component could not be started
    Document,  // a document could not be searched or changed
    DocumentPart,  // one part of a document could not be read
    RefusedOccurrence,  // one occurrence the document does not let change
    Backup,  // the backup copy could not be made
    Journal,  // the undo journal could not record the change
    Rename,  // a name could not be changed
    TempFile,  // the temporary file of a replace could not be made or written
    Commit,  // the new contents could not take the old ones' place
    Unsupported,  // the run asks for what this entry cannot do (captures in UTF-16, documents)
    InsideDamaged,  // an archive, an entry in one, a PDF or a package is not readable as what it claims
    InsideEncrypted,  // an entry, an archive or a PDF needs a password
    InsideExpandsTooFar,  // an entry or an archive would inflate beyond the limits against bombs
};

// Where an error shows.
enum class ErrorPlace : std::uint8_t {
    Entry,  // an item of its own: the path, with the message as its remark
    Message,  // an item of its own that carries the whole message
    CurrentEntry,  // the entry begun last becomes an error; its hits stay
    Occurrence,  // under the entry begun last, at `position`
};

// Made only by RunReports, which also builds the message texts.
struct RunError {
    ErrorKind kind = ErrorKind::EntryException;
    ErrorPlace place = ErrorPlace::Entry;
    std::string_view path;
    std::string_view message;
    std::string_view position;  // ErrorPlace::Occurrence only
};

enum class NoteKind : std::uint8_t {
    NotChanged,  // replacements were reported for a file that keeps its old contents
    NotReplaced,  // a marked hit or name was not replaced; `detail` says why
    WithoutHits,  // the entry begun last was searched to its end without a hit
    AlreadyChangedAs,  // changed in this run already, under the name `detail`
    InsideNotReplaced,  // a replace run found hits inside an archive, PDF or package and left it alone
};

struct RunNote {
    NoteKind kind = NoteKind::NotChanged;
    std::string_view path;
    std::string_view detail;
};

enum class CommitKind : std::uint8_t {
    Contents,  // a file's or document's new contents are in place
    Name,  // a name hit was renamed
    Lowercase,  // a file name was converted to lower case
};

// Counted only here: what a replace run reports was changed is what it changed.
struct Commit {
    CommitKind kind = CommitKind::Contents;
    std::string_view path;
    std::int64_t replacements = 0;  // Contents only
};

// The end of an entry (or of a part of its outcome): everything it produced
// so far has been passed on, and what it adds to the search's counters.
struct EntryEnd {
    std::int32_t hits = 0;
    std::int32_t files = 0;
};

// What a replace in marked results did to one of the items it read from the
// list: `item` is the handle it was read under, opaque to the engine.
enum class MarkedChangeKind : std::uint8_t {
    Replaced,  // a marked hit was replaced (not yet written): its kind becomes `itemKind`
    Failed,  // a marked hit or name was not replaced: an error, `message` says why
    Reverted,  // a replaced hit whose file was not written after all: back to `itemKind`
    Moved,  // a later hit of the changed part now lies at `position` in `part`
    LeftAlone,  // a hit inside an archive, PDF or package: `message` as its remark, nothing else
    Renamed,  // a marked name hit was renamed; it can be marked no more
    RenameFailed,  // a marked name hit could not be renamed: an error, `message` says why; it can be marked no more
    BackupMade,  // a file item: its backup copy is made, and none is to be made again for these results
};

struct MarkedChange {
    MarkedChangeKind kind = MarkedChangeKind::Replaced;
    ItemHandle item = kNoItem;
    ItemKind itemKind = ItemKind::None;  // Replaced, Reverted
    std::string_view part;  // Moved; empty: the main text or a file's contents
    std::int64_t position = 0;  // Moved
    std::string_view message;  // Failed, LeftAlone, RenameFailed
};

}  // namespace tarnwick
