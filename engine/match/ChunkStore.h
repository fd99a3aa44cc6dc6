#pragma once
// One open file's text in memory, whole or one chunk at a time: reads a
// chunk with the byte before and the byte after it, keeps its folded copy,
// and decides the file's encoding. Used by the search and the replace side
// alike. The memory belongs to the run (SearchBuffers). A search may read a
// chunk piece by piece as it goes (loadInPieces), so that each piece is
// searched while it is still in the processor's cache. Not thread-safe.
//
// Failures: the store keeps the first one it meets (a read that fails, a
// file found shorter than it was while a chunk is read in pieces, memory
// that cannot be had) and then reads nothing more. What is in memory ends
// the chunk, and every later load finds the file at its end, so the search
// runs out of text; whoever searched the file asks failure() afterwards
// and ends the entry with it. Nothing here throws.
#include <cstdint>
#include <optional>

#include "engine/match/ByteSource.h"
#include "engine/match/ChunkMatcher.h"
#include "engine/match/Encoding.h"
#include "platform/Expected.h"

namespace tarnwick {

class CodePage;
class InputFile;
struct FilePattern;
struct SearchBuffers;
struct MatchOptions;

class ChunkStore final : public ChunkFill {
public:
    ChunkStore(const InputFile& file, const MatchOptions& options, const CodePage& codePage, SearchBuffers& buffers);
    // Reads from `source` instead, which must outlive the store.
    ChunkStore(ByteSource& source, const MatchOptions& options, const CodePage& codePage, SearchBuffers& buffers);

    // Decides the encoding from the file (reading its head and, with UTF-8
    // detection on, the scanned part).
    Encoding detectEncodingFromFile(std::uint64_t fileLength);
    // The same decision on the chunk in memory, which must hold the whole file.
    Encoding detectEncodingInMemory();
    Encoding encoding() const { return m_encoding; }
    bool hasBom() const { return m_hasBom; }

    // Reads `size` bytes at `start`. Returns false when fewer could be read
    // (the file got shorter, or a failure): the chunk then ends where the
    // bytes end.
    bool load(std::uint64_t start, std::uint64_t size, std::uint64_t fileLength);
    // The same chunk, read piece by piece as the search asks for it, in a
    // window of about two pieces that moves on through the chunk, so the
    // memory read into stays in the cache. A file found shorter than
    // `fileLength` meanwhile is a failure once the missing part is wanted.
    // Only for a search.
    void loadInPieces(std::uint64_t start, std::uint64_t size, std::uint64_t fileLength);
    // Makes bytes [keepFrom, upTo) readable (and folded, when fold() asked
    // for it); `keepFrom` -1 is the byte before the chunk. When the window
    // moves on, `retain` bytes before keepFrom stay too.
    void readable(std::int64_t keepFrom, std::int64_t upTo);
    void setRetain(std::int64_t bytes) { m_retain = bytes; }
    void fill(std::int64_t keepFrom, std::int64_t upTo, ChunkText& chunk) override;
    // A chunk that lies wholly in a hole of a sparse file: all zeros, so it
    // holds no hit and is not read (text() is null). False when the range
    // holds data.
    bool loadHole(std::uint64_t start, std::uint64_t size, std::uint64_t fileLength);
    bool isHole() const { return m_hole; }

    // Makes the folded copy when the pattern needs it (plain text, or an
    // expression's literal, without case), of what is read and of each
    // piece read later.
    void fold(const FilePattern& pattern);

    // The chunk's first byte; text()[-1] exists unless at the file's start.
    // For a chunk read in pieces, only [windowStart() - 1, filled()) is there.
    char* text() { return m_text; }
    std::int64_t windowStart() const { return m_windowStart; }
    std::int64_t filled() const { return m_filled; }
    std::int64_t length() const { return m_length; }
    std::uint64_t start() const { return m_start; }
    ChunkText view();

    // The first failure met, or null (see above).
    const Failure* failure() const { return m_failure ? &*m_failure : nullptr; }
    // Keeps the failure of a reader working on the same file beside the
    // store, unless one is kept already; the store reads nothing more.
    void fail(Failure failure);
    // Reads through the source, for the store and for those reading the same
    // file beside it; a failure is kept and reads as the end.
    std::size_t readBytes(std::uint64_t offset, char* buffer, std::size_t n);
    // Keeps the failure of a reservation; true when there is the memory.
    bool reserved(Expected<void> reservation);

private:
    // The chunk holds no byte (its memory could not be had).
    void empty();
    // The chunk ends with what is in memory.
    void cutShort();
    Encoding encodingFromHead(const unsigned char* head, std::size_t got);
    void foldRange(std::int64_t from, std::int64_t to);
    // False when the bytes could not all be read.
    bool readRange(std::int64_t from, std::int64_t to);
    void restartWindowAt(std::int64_t first);
    void moveWindowTo(std::int64_t first);
    void setWindowPointers();
    std::optional<FileSource> m_fileSource;  // a file on disk
    ByteSource& m_file;
    const MatchOptions& m_options;
    const CodePage& m_codePage;
    SearchBuffers& m_buffers;
    char* m_text = nullptr;
    bool m_hole = false;
    std::uint64_t m_start = 0;
    std::int64_t m_length = 0;
    // Bytes [m_windowStart, m_filled) of the chunk are in memory, with the one
    // before them; m_text points where the chunk's first byte would be.
    std::int64_t m_windowStart = 0;
    std::int64_t m_filled = 0;
    std::int64_t m_retain = 4;
    std::size_t m_windowCapacity = 0;  // bytes the window may use before it moves on
    char m_byteBefore = 0;  // the byte before the chunk
    unsigned char m_nextByte = 0;
    bool m_folded = false;
    bool m_foldUtf8 = false;
    bool m_hasBom = false;
    Encoding m_encoding = Encoding::Unknown;
    std::optional<Failure> m_failure;
    char m_empty[2] = {};  // what an empty chunk points into
};

}  // namespace tarnwick
