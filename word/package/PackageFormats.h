#pragma once
// The zip-package formats the component reads and writes, for the
// dispatcher (OpenDocumentFormat) to call once it has looked at a file.
// Both throw ServerError (WordErrors.h) for anything they cannot read.
#include <memory>
#include <string>

#include "word/format/DocumentFormat.h"

namespace tarnwick::word {

// A WordprocessingML package (.docx, .docm, .dotx, .dotm; Transitional or Strict).
std::unique_ptr<DocumentFormat> OpenDocxFormat(const std::string& path);

// An OpenDocument text package (.odt, .ott).
std::unique_ptr<DocumentFormat> OpenOdtFormat(const std::string& path);

}  // namespace tarnwick::word
