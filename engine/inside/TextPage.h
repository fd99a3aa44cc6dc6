#pragma once
// One piece of text read out of a file that is not plain text: a PDF page,
// a sheet of a spreadsheet, a slide. Its name follows the file's path after
// the separator of InsidePath.h; its text is UTF-8, lines ended by LF.
#include <string>

namespace tarnwick::inside {

struct TextPage {
    std::string name;  // "Seite 2", "Tabelle1", "Folie 3"
    std::string text;
};

}  // namespace tarnwick::inside
