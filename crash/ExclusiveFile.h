#pragma once
// Report files in a shared temporary directory, created so that nobody else
// can choose what they are: under a name nobody can know in advance (16
// random hex digits), exclusively (a file or link found under the name is
// never opened, let alone written through), readable by the user alone.
#include <cstddef>
#include <string>
#include <string_view>

namespace tarnwick::crash {

// `path` holds a prefix of `prefixLength` bytes; writes 16 random hex digits
// and `extension` behind it and creates that file (O_CREAT | O_EXCL |
// O_NOFOLLOW, 0600), with new digits while the name is taken. Returns the
// descriptor, opened for writing, or -1 with errno set (and `path` holding
// the last name tried). Async-signal-safe: the crash handler's trace uses it.
int CreateExclusiveFile(char* path, std::size_t capacity, std::size_t prefixLength, const char* extension);

// The same for a path in a string: "<prefix><16 hex digits><extension>".
int CreateExclusiveFile(const std::string& prefix, std::string_view extension, std::string& path);

}  // namespace tarnwick::crash
