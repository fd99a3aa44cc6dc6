#pragma once
// Replaces every occurrence of the search text in one file. The file is held
// whole or streamed chunk by chunk into a temporary file (split mode); the
// changed text is built in one pass, copying the bytes between occurrences
// and inserting the replacement, so the cost is linear in the file size.
// Nothing reaches the file before finish(): a stop or a failure leaves it as
// it was, and finish() lets the new contents take its place at once.
//
// One object per file, worker thread only. Failures are reported as result
// items where they happen, but for a read or memory failure after the
// replace began (Unreadable, failure()), which ends the entry.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "engine/match/ChunkMatcher.h"
#include "engine/match/ChunkStore.h"
#include "engine/match/PreserveCase.h"
#include "platform/FileCommit.h"
#include "platform/InputFile.h"
#include "results/ResultList.h"

namespace tarnwick {

class JournalCommitGate;
class RunContext;
class Utf16Replace;
struct FilePattern;

// What PrepareReplace and ReplaceNext came to.
enum class ReplaceOutcome : std::uint8_t {
    Occurrence,  // there is one; the step's offset says where
    NoOccurrence,  // there is none (more), or a stop was requested
    Failed,  // a failure, already reported as a result item
    Unreadable,  // the file could not be read on: failure() says why, not yet reported
};

struct ReplaceStep {
    ReplaceOutcome outcome = ReplaceOutcome::NoOccurrence;
    std::int64_t offset = 0;  // with an occurrence only

    bool operator==(const ReplaceStep&) const = default;
};

class ReplaceBuffer {
public:
    explicit ReplaceBuffer(RunContext& run);
    ~ReplaceBuffer();

    // Opens the file for reading and writing with other writers locked out;
    // `links` says whether a link in its place is followed (the walk met one).
    std::error_code open(const std::string& path, InputFile::Links links = InputFile::Links::Follow);
    const InputFile& file() const { return m_file; }

    // Whether the file holds an occurrence, and the file offset of the first
    // (for plain text before the whole-word test). Failed when the start of
    // the replace failed (reported as an error item for the file).
    ReplaceStep prepareReplace();
    // Replaces the next occurrence; the offset is that of the inserted text
    // in the changed file. Failed when the temporary file could not be
    // written (reported on the current file item).
    ReplaceStep replaceNext();
    // Puts the changed contents in place of the file's, or hands them to the
    // run's CommitBatch (queued()), which does so soon. False on a failure,
    // which has been reported unless failure() holds it.
    bool finish();
    // The read or memory failure that ended the replace, or null.
    const Failure* failure() const { return m_store.failure(); }
    // The batch commits the contents and counts their replacements.
    bool queued() const { return m_queued; }
    // Gives up: the file keeps its contents; a temporary file is removed.
    void abandon();

    bool isSplit() const { return m_split; }
    Encoding getEncoding() const { return m_store.encoding(); }
    std::int64_t hitLength() const { return m_hitLength; }
    std::int64_t hitCharacters() const { return m_hitCharacters; }
    std::int32_t highlightOffset() const { return m_highlightOffset; }
    std::string_view context() const { return m_context; }

private:
    void loadChunk(std::uint64_t start, std::uint64_t size);
    ReplaceStep probe();
    std::optional<Occurrence> findNext();
    bool leavesToNextChunk(const Occurrence& occurrence) const;
    Preceding precedingAtConsumed();
    void copyOriginalUpTo(std::int64_t position);
    void buildContext(const Occurrence& occurrence);
    // False when it failed: reported, or kept as the store's failure.
    bool openTempFile();
    bool flushToTemp(std::int64_t keep);
    void reportTempWriteFailure(std::error_code error);
    ReplaceStep replaceNextUtf16();
    std::error_code commitContents(std::string_view previous, JournalCommitGate& gate);
    std::error_code installTemporaryFile(JournalCommitGate& gate);
    bool finishWhole();
    bool finishSplit();
    void reportCommitFailure(std::error_code error);

    RunContext& m_run;
    InputFile m_file;
    ChunkStore m_store;
    ChunkMatcher m_matcher;
    const FilePattern* m_pattern = nullptr;
    std::string m_replacement;  // replacement bytes as inserted in this file, or their format
    ReplacementStyle m_style;  // how each hit's replacement is made from m_replacement
    std::string m_filled;  // one hit's filled-in format, before its case changes
    std::string& m_out;  // the changed text of the current chunk so far
    std::string& m_context;
    std::int64_t m_consumed = 0;  // chunk bytes already copied or replaced
    std::int64_t m_resume = 0;  // where the next search in the chunk starts
    std::int64_t m_lastPosition = 0;  // last replacement in the changed chunk; negative: none in this chunk
    std::uint64_t m_outputOffset = 0;  // offset in the changed file of the chunk's first byte
    std::uint64_t m_fileLength = 0;
    std::int64_t m_hitLength = 0;
    std::int64_t m_hitCharacters = 0;
    std::int32_t m_highlightOffset = 0;
    std::int64_t m_replacements = 0;
    bool m_split = false;
    bool m_lastChunk = true;
    bool m_finished = false;  // the last chunk went to the temporary file
    bool m_queued = false;
    int m_flushedByte = -1;  // last byte written to the temporary file, -1: none
    OutputFile m_temp;
    // Set for a file with a UTF-16 mark, which is replaced in as characters.
    std::unique_ptr<Utf16Replace> m_utf16;
};

}  // namespace tarnwick
