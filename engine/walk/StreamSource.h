#pragma once
// The bytes of a file inside an archive as a ByteSource for the content
// search: read from the front through an inside::ByteReader, never written
// anywhere. Keeps the file's first kStreamHeadBytes (its encoding is
// decided on them before its first chunk is read) and the last `keepBehind`
// bytes read (the overlap of two split chunks); asked for bytes before
// those, it fails. A failure of the reader ends the source: the reader
// keeps it, for the archive walk to report under the inner file's name.
#include <string>

#include "engine/match/ByteSource.h"

namespace tarnwick {
namespace inside {
class ByteReader;
}

class StreamSource final : public ByteSource {
public:
    StreamSource(inside::ByteReader& reader, std::size_t keepBehind);

    Expected<std::size_t> read(std::uint64_t offset, char* buffer, std::size_t n) override;

    // Whether a read failed because the reader did.
    bool readerFailed() const { return m_readerFailed; }

private:
    // Takes up to `n` bytes from the reader into `buffer`; 0 at the end.
    Expected<std::size_t> pull(char* buffer, std::size_t n);
    Expected<void> skipTo(std::uint64_t offset);

    inside::ByteReader& m_reader;
    std::size_t m_keepBehind;
    std::string m_head;
    std::string m_tail;  // the bytes just before m_position
    std::uint64_t m_position = 0;  // bytes taken from the reader
    bool m_ended = false;
    bool m_readerFailed = false;
};

}  // namespace tarnwick
