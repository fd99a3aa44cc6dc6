#pragma once
// Memory the file buffer reads and searches in. It belongs to the worker and
// is reused for every file, so steady-state searching allocates nothing.
#include <string>

#include <boost/regex.hpp>

#include "engine/match/Utf16Units.h"
#include "platform/ByteBuffer.h"

namespace tarnwick {

struct SearchBuffers {
    ByteBuffer chunk;  // one byte before the chunk, the chunk, a terminating NUL
    ByteBuffer lower;  // the case-folded copy of the chunk
    std::string context;  // context text of the current hit
    std::string scratch;  // conversions of the context
    boost::cmatch match;  // results of the expression search
    std::string output;  // the changed text of a chunk being replaced
    std::string name;  // a name being compared
    std::string path;  // paths built by the walk
    UnitBuffer units;  // a UTF-16 file's chunk as units of this machine
    UnitBuffer foldedUnits;  // their case-folded copy
    // How much of a large file is read at a time: small enough that a piece
    // is still in the processor's cache when it is searched, which reading
    // or viewing a whole chunk of many megabytes is not.
    std::size_t readPiece = kDefaultReadPiece;
    static constexpr std::size_t kDefaultReadPiece = 512 * 1024;

    // Gives back memory a very large file made the buffers grow to.
    void trim(std::size_t keep)
    {
        chunk.shrinkAbove(keep);
        lower.shrinkAbove(keep);
        units.shrinkAbove(keep / 2);
        foldedUnits.shrinkAbove(keep / 2);
    }
};

}  // namespace tarnwick
