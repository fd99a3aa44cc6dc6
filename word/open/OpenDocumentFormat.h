#pragma once
// The one place that tells the formats apart: above them all, so that no
// format depends on another through it.
#include <memory>
#include <string>

#include "word/format/DocumentFormat.h"

namespace tarnwick::word {

// Opens `path` by looking at its contents (a zip package with a WordprocessingML
// or ODF text main part, RTF, or else plain text). Legacy binary documents,
// encrypted or damaged packages and files that are no text are refused with a
// ServerError.
std::unique_ptr<DocumentFormat> OpenDocumentFormat(const std::string& path);

}  // namespace tarnwick::word
