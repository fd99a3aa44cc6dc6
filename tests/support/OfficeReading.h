#pragma once
// What LibreOffice reads in a document, to look for the text of each of its
// parts after a replacement: its HTML export and its flat ODF export, white
// space collapsed to single blanks (the HTML export wraps long lines), the
// flat export without its tags. On the test program's shared server.
#include <string>

#include "word/libreoffice/OfficeExport.h"

namespace tarnwick::test {

inline std::string CollapsedWhiteSpace(const std::string& text, bool dropTags)
{
    std::string out;
    bool inTag = false;
    for (const char c : text) {
        if (dropTags && (inTag || c == '<')) {
            inTag = c != '>';
            continue;
        }
        const bool blank = c == ' ' || c == '\t' || c == '\r' || c == '\n';
        if (!blank)
            out += c;
        else if (!out.empty() && out.back() != ' ')
            out += ' ';
    }
    return out;
}

// Headers, main text, notes and footers; comments as HTML comments; text
// boxes are pictures there.
inline std::string OfficeHtml(const std::string& path)
{
    return CollapsedWhiteSpace(word::ExportWithLibreOffice(path, "HTML (StarWriter)"), false);
}

// The text of every part, tracked deletions included.
inline std::string OfficeFlatText(const std::string& path)
{
    return CollapsedWhiteSpace(word::ExportWithLibreOffice(path, "OpenDocument Text Flat XML"), true);
}

}  // namespace tarnwick::test
