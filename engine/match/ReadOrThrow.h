#pragma once
// Reading inside the processing of one entry: a read error ends the entry as
// a CFileException, which the run turns into the entry's error item (see
// RunReports). Everything else in the engine passes error codes on.
#include "platform/Exceptions.h"
#include "platform/InputFile.h"
#include "platform/SystemError.h"

namespace tarnwick {

// Reads up to `n` bytes at `offset`; fewer only at the end of the file.
inline std::size_t ReadOrThrow(const InputFile& file, std::uint64_t offset, char* buffer, std::size_t n)
{
    const Expected<std::size_t> got = file.readAt(offset, buffer, n);
    if (!got) throw CFileException(SystemErrorText(got.error().code));
    return got.value();
}

}  // namespace tarnwick
