#pragma once
// Tells which kind of document a file holds by its first bytes and, for a
// zip package, by the parts it names; the extension plays no part.
#include <string>
#include <string_view>

#include "word/format/DocumentKind.h"

namespace tarnwick::word {

// The kind of the document at `path`. Throws ServerError (kErrorCannotOpen,
// with the system's text) when the file cannot be opened or read, and
// kErrorDamaged (RefuseDamaged) for a zip package or compound file that is
// cut short or whose directory cannot be read.
DocumentKind SniffDocument(const std::string& path);

}  // namespace tarnwick::word
