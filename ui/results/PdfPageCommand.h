#pragma once
// Which program opens a PDF at a page. The desktop's default handler for PDF
// is a desktop file; xdg-open cannot pass it a page, so its program is
// started directly when it is one whose page argument is known. Plain
// decisions on text; nothing is started here.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tarnwick::ui {

// The Exec value of the group [Desktop Entry] of a desktop file's text;
// empty when it has none.
std::string DesktopEntryExec(std::string_view desktopFile);

// The program and its arguments that show `path` at `page` (from 1), made
// from `exec` (a desktop file's Exec value) when its program takes a page:
// evince, atril and xreader (-i N), okular (-p N), zathura (-P N), qpdfview
// (FILE#N). The Exec value's own options stay; its field codes give way to
// the path. Nothing for any other program or an Exec value that cannot be
// read: the caller shows the page's text itself.
std::optional<std::vector<std::string>> PdfPageCommand(std::string_view exec, const std::string& path, int page);

}  // namespace tarnwick::ui
