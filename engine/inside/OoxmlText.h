#pragma once
// The text of Office Open XML spreadsheets and presentations (OfficeText.h
// says what the text of each is). Throw ServerError (word/automation) for
// what the package reader refuses and for a package without its parts.
#include <vector>

#include "engine/inside/TextPage.h"

namespace tarnwick::word {
class ZipPackage;
}

namespace tarnwick::inside {

std::vector<TextPage> ReadXlsxSheets(const word::ZipPackage& package);
std::vector<TextPage> ReadPptxSlides(const word::ZipPackage& package);

}  // namespace tarnwick::inside
