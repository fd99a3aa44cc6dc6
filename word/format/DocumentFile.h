#pragma once
// Reading a document file whole and writing it back, the same for every
// format: refusals are ServerErrors with a reason; a save lets the new bytes
// take the file's place through platform/FileCommit (symbolic links kept,
// permission bits kept) and refuses when another program changed the file
// since it was read, or put another file (or a link to one) in its place.
#include <string>
#include <string_view>

#include "platform/FileIdentity.h"

namespace tarnwick::word {

// The file's bytes; `identity`, when given, receives the file object read.
std::string ReadDocumentFile(const std::string& path, FileIdentity* identity = nullptr);

// `onDisk` is what the file held when it was read (or last saved), and
// `identity` the object that held it (unknown: not checked); it receives the
// object that holds the new contents.
void SaveDocumentFile(const std::string& path, const std::string& onDisk, FileIdentity& identity, std::string_view contents);

}  // namespace tarnwick::word
