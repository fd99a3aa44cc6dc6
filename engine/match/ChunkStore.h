#pragma once
// One open file's text in memory, whole or one chunk at a time: reads a
// chunk with the byte before and the byte after it, keeps its folded copy,
// and decides the file's encoding. Used by the search and the replace side
// alike. The memory belongs to the run (SearchBuffers), except that a search
// may view a large chunk where the system keeps the file (mapped, not
// copied); such a chunk is read-only. Not thread-safe.
#include <cstdint>

#include "engine/match/ChunkMatcher.h"
#include "engine/match/Encoding.h"
#include "platform/FileMapping.h"

namespace tarnwick {

class CodePage;
class InputFile;
struct FilePattern;
struct SearchBuffers;
struct SearchJob;

class ChunkStore {
public:
    ChunkStore(const InputFile& file, const SearchJob& job, const CodePage& codePage, SearchBuffers& buffers);

    // Decides the encoding from the file (reading its head and, with UTF-8
    // detection on, the scanned part).
    Encoding detectEncodingFromFile(std::uint64_t fileLength);
    // The same decision on the chunk in memory, which must hold the whole file.
    Encoding detectEncodingInMemory();
    Encoding encoding() const { return m_encoding; }
    bool hasBom() const { return m_hasBom; }

    // Lets load() view chunks of at least kMapThreshold bytes in place
    // instead of reading them. Only for a search: such a chunk is read-only.
    void allowMapping() { m_mayMap = true; }
    static constexpr std::uint64_t kMapThreshold = 1u << 20;

    // Reads `size` bytes at `start`. Returns false when fewer could be read
    // (the file got shorter): the chunk then ends where the file ends.
    bool load(std::uint64_t start, std::uint64_t size, std::uint64_t fileLength);
    // A chunk that lies wholly in a hole of a sparse file: all zeros, so it
    // holds no hit and is not read (text() is null). False when the range
    // holds data.
    bool loadHole(std::uint64_t start, std::uint64_t size, std::uint64_t fileLength);
    bool isHole() const { return m_hole; }

    // True when part of a viewed chunk turned out to have no file behind it
    // (the file was cut short while it was searched): read as zeros.
    bool lostPages() const { return m_mapping.lostPages(); }
    // Makes the folded copy when the pattern needs it (plain text, or an
    // expression's literal, without case).
    void fold(const FilePattern& pattern);

    char* text() { return m_text; }  // the chunk's first byte; text()[-1] exists unless at the file's start
    std::int64_t length() const { return m_length; }
    std::uint64_t start() const { return m_start; }
    ChunkText view();

private:
    Encoding encodingFromHead(const unsigned char* head, std::size_t got);
    bool mapChunk(std::uint64_t start, std::uint64_t size, std::uint64_t fileLength);

    const InputFile& m_file;
    const SearchJob& m_job;
    const CodePage& m_codePage;
    SearchBuffers& m_buffers;
    FileMapping m_mapping;
    char* m_text = nullptr;
    bool m_mayMap = false;
    bool m_hole = false;
    std::uint64_t m_start = 0;
    std::int64_t m_length = 0;
    unsigned char m_nextByte = 0;
    bool m_folded = false;
    bool m_hasBom = false;
    Encoding m_encoding = Encoding::Unknown;
};

}  // namespace tarnwick
