#pragma once
// Opens a PDF at a page in the user's own PDF viewer: the desktop's default
// handler for application/pdf, asked through xdg-mime, when its program
// takes a page (PdfPageCommand.h). User interface thread only.
#include <string>

#include "ui/results/ExternalEditor.h"

namespace tarnwick::ui {

// The Exec value of the desktop's default handler for PDF; empty when there
// is none or it cannot be found.
std::string DefaultPdfHandlerExec();

// Starts the default PDF viewer at `page`; false when it takes no page or
// does not start (nothing was started then).
bool OpenPdfAtPage(const std::string& path, int page, ProgramStarter& starter);

}  // namespace tarnwick::ui
