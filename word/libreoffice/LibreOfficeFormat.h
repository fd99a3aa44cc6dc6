#pragma once
// A document opened by the LibreOffice server, for the formats the built-in
// readers do not know (legacy binary .doc/.dot, WordPerfect, Works, older
// StarOffice and others). Its main story is built from the server's
// paragraphs and tables in the same positions the built-in formats use
// (UTF-16 units, one mark per paragraph, cell and row marks), a replacement
// is made by the server inside one paragraph, and saving writes the file in
// the filter it was read with (a .doc stays a Word 97 document).
#include <memory>
#include <string>

#include "word/format/DocumentFormat.h"

namespace tarnwick::word {

// Opens `path` in the server, starting it when needed. Throws ServerError
// when LibreOffice is missing, cannot be started, does not answer in time or
// cannot read the file.
std::unique_ptr<DocumentFormat> OpenLibreOfficeFormat(const std::string& path);

}  // namespace tarnwick::word
