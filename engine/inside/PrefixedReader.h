#pragma once
// A ByteReader that gives back the bytes already taken from another (to tell
// its format by them) before the rest of that one's bytes.
#include <string>
#include <utility>

#include "engine/inside/ByteReader.h"

namespace tarnwick::inside {

class PrefixedReader : public ByteReader {
public:
    PrefixedReader(std::string prefix, ByteReader& rest) : m_prefix(std::move(prefix)), m_rest(rest) {}

    Expected<std::size_t> read(char* buffer, std::size_t capacity) override;

private:
    std::string m_prefix;
    std::size_t m_given = 0;
    ByteReader& m_rest;
};

// Reads from `reader` until `length` bytes or its end, whichever comes
// first, or gives the reader's failure.
Expected<std::string> ReadUpTo(ByteReader& reader, std::size_t length);

}  // namespace tarnwick::inside
