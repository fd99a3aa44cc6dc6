#pragma once
// The application the programs use for documents: the built-in component
// for the formats it reads (.docx family, .odt family, .rtf and whatever
// else it accepts), the LibreOffice server for the rest (legacy binary
// .doc/.dot and other formats LibreOffice opens). The route depends only on
// the file, so a document's search and its later replace go the same way and
// their positions agree. Quit also ends the server.
#include <memory>
#include <string>

#include "word/automation/Automation.h"
#include "word/format/DocumentFormat.h"

namespace tarnwick::word {

// Opens `path` on its route: legacy binary documents in LibreOffice, other
// files in the built-in component first and in LibreOffice when it refuses
// their format, unless they are named as one of its formats (.docx, .docm,
// .dotx, .dotm, .odt, .ott, .rtf).
std::unique_ptr<DocumentFormat> OpenRoutedDocumentFormat(const std::string& path);

std::unique_ptr<Application> CreateDocumentApplication();

}  // namespace tarnwick::word
