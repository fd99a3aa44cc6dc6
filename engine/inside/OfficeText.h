#pragma once
// The text of spreadsheets (.xlsx, .xlsm, .ods) and presentations (.pptx,
// .odp), read through the document component's package reader
// (word/package): per sheet the cells' text, cells of a row separated by a
// TAB and rows by LF, named by the sheet's name; per slide its paragraphs,
// named "Folie N"; both in the file's order. Fails (InsideError.h) with
// the package reader's refusals (cannot open, encrypted, expands too far,
// damaged) and its texts, and Damaged for a package that is neither kind.
#include <string>
#include <vector>

#include "engine/inside/TextPage.h"
#include "platform/Expected.h"

namespace tarnwick::inside {

Expected<std::vector<TextPage>> ReadSpreadsheetText(const std::string& path);
Expected<std::vector<TextPage>> ReadPresentationText(const std::string& path);

}  // namespace tarnwick::inside
