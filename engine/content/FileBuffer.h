#pragma once
// Reads and searches one file: decides its text encoding, holds it whole or,
// for large files, one chunk at a time (split mode), finds the hits of the
// search text chunk by chunk and prepares each hit's context text. A file
// that is not split but larger than a few read pieces is one chunk read
// piece by piece as the search goes.
//
// One object per file, used on the worker thread only. The memory it reads
// into belongs to the run (SearchBuffers) and is reused. A read that fails
// or memory that cannot be had ends the search of the file: no hit after it
// is given, and failure() says what went wrong.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "engine/match/ByteSource.h"
#include "engine/match/ChunkMatcher.h"
#include "engine/match/ChunkStore.h"
#include "platform/InputFile.h"

namespace tarnwick {

class RunContext;
class Utf16Search;
struct FilePattern;

class FileBuffer {
public:
    explicit FileBuffer(RunContext& run);
    // Searches the bytes of `source` instead of a file opened here: a file
    // inside an archive, read from the front (see ByteSource.h), whose
    // length is `length` when known. Such a file is read whole or in split
    // chunks, never piece by piece, and its encoding is decided on its
    // first kStreamHeadBytes.
    FileBuffer(RunContext& run, ByteSource& source, std::optional<std::uint64_t> length);
    ~FileBuffer();

    // Opens the file for a search; fails when it cannot be opened
    // then holds the errno.
    std::error_code open(const std::string& path);
    // The same for the file `name` in the folder open as `folderFd`.
    std::error_code openInFolder(int folderFd, const char* name);

    // File offset of the first hit, or nothing. Detects the encoding, reads
    // the first chunk and searches it.
    std::optional<std::int64_t> findFirst();
    // File offset of the next hit, or nothing (also when a stop was requested
    // between two chunks).
    std::optional<std::int64_t> findNext();
    Encoding getEncoding();
    // Why the search ended before the file's end, or null.
    const Failure* failure() const { return m_store.failure(); }

    // The current hit.
    std::int64_t hitLength() const { return m_hitLength; }
    std::int64_t hitCharacters() const { return m_hitCharacters; }
    std::int32_t highlightOffset() const { return m_highlightOffset; }
    std::string_view context() const { return m_context; }

private:
    std::uint64_t detectionLength() const;
    void loadChunk(std::uint64_t start, std::uint64_t size);
    void readChunkInPieces(std::uint64_t start, std::uint64_t size);
    void startChunkSearch();
    bool searchChunk();
    bool leavesHitToNextChunk() const;
    void buildContext();
    // Whether a failure ended the search (which then finds nothing more).
    bool endedByFailure();
    std::optional<std::int64_t> findNextUtf16();

    RunContext& m_run;
    InputFile m_file;
    bool m_stream = false;  // reads from a ByteSource given, not m_file
    std::uint64_t m_streamLength = 0;
    ChunkStore m_store;
    ChunkMatcher m_matcher;
    const FilePattern* m_pattern = nullptr;
    std::uint64_t m_fileLength = 0;
    std::int64_t m_hitPosition = 0;
    std::int64_t m_hitLength = 0;
    std::int64_t m_previousHit = 0;
    std::int64_t m_hitCharacters = 0;
    std::int32_t m_highlightOffset = 0;
    bool m_moreChunks = false;
    bool m_regexFresh = true;  // no expression search has run in this chunk yet
    bool m_done = false;  // the last hit has been reported
    std::string& m_context;
    // Set for a file with a UTF-16 mark, which is searched as characters.
    std::unique_ptr<Utf16Search> m_utf16;
};

}  // namespace tarnwick
