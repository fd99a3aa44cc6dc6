#pragma once
// "Ergebnisliste exportieren": the export dialog, then the save dialog for
// the target file, then the writer; a failure is shown in a message box.
// User interface thread only; run it while no run adds items to the list.
#include <string>

#include "results/ExportRequest.h"
#include "ui/common/ProgramFiles.h"

class QWidget;

namespace tarnwick {
class ResultList;
namespace settings {
class ProfileStore;
}
}  // namespace tarnwick

namespace tarnwick::ui {

class ExportPrompts;

// Where the default template "vorlage_export.txt" lies: beside the program,
// else in ../share/tarnwick relative to it (an installed program). When
// neither holds it, the program's directory, so the default names the place
// the user would put it.
std::string ExportTemplateDirectory(const std::string& programDirectory);

// Runs the command: "Abbrechen" in either dialog ends it without writing.
// `prompts` (not owned) stands in for the file dialogs and message boxes;
// null means the desktop's. Returns whether a file was written.
bool RunExportCommand(QWidget* parent, settings::ProfileStore& store, const ResultList& list, const RunValues& run,
                      const std::string& programDirectory, ExportPrompts* prompts = nullptr);

}  // namespace tarnwick::ui
