#pragma once
// Writes a document as LibreOffice reads it in another format (its HTML or
// flat ODF export, say), on the shared server: how the tests see what a
// replacement left in a file, as a user opening it would.
#include <string>

namespace tarnwick::word {

// The bytes of `path` exported with the LibreOffice filter `filter`. Throws
// ServerError as opening the document does.
std::string ExportWithLibreOffice(const std::string& path, const std::string& filter);

}  // namespace tarnwick::word
