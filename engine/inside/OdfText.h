#pragma once
// The text of OpenDocument spreadsheets and presentations (OfficeText.h says
// what the text of each is), from the package's content.xml. Throw
// ServerError (word/automation) for what the package reader refuses and for
// a package without its content.
#include <vector>

#include "engine/inside/TextPage.h"

namespace tarnwick::word {
class ZipPackage;
}

namespace tarnwick::inside {

std::vector<TextPage> ReadOdsSheets(const word::ZipPackage& package);
std::vector<TextPage> ReadOdpSlides(const word::ZipPackage& package);

}  // namespace tarnwick::inside
