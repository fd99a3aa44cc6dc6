#pragma once
// The bytes of a file found inside another, read in pieces from the front,
// so that a caller searches a large inner file chunk by chunk (as a file on
// disk is searched in split mode) without holding it whole.
#include <cstddef>

#include "platform/Expected.h"

namespace tarnwick::inside {

class ByteReader {
public:
    virtual ~ByteReader() = default;
    // Fills up to `capacity` bytes of `buffer`; gives how many, 0 at the
    // end, or the failure (InsideError.h) when the bytes cannot be had:
    // damaged or encrypted, or inflating further than the limits allow.
    virtual Expected<std::size_t> read(char* buffer, std::size_t capacity) = 0;
};

}  // namespace tarnwick::inside
