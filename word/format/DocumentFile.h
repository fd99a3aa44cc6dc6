#pragma once
// Reading a document file whole and writing it back, the same for every
// format: refusals are ServerErrors with a reason; a save lets the new bytes
// take the file's place through platform/FileCommit (symbolic links kept,
// permission bits kept) and refuses when another program changed the file
// since it was read.
#include <string>
#include <string_view>

namespace tarnwick::word {

std::string ReadDocumentFile(const std::string& path);

// `onDisk` is what the file held when it was read (or last saved).
void SaveDocumentFile(const std::string& path, const std::string& onDisk, std::string_view contents);

}  // namespace tarnwick::word
