#include "ui/results/ExportCommand.h"

#include <optional>

#include "platform/CodePage.h"
#include "results/ResultsExport.h"
#include "ui/common/EngineText.h"
#include "ui/results/ExportDialog.h"
#include "ui/results/ExportDialogPrompts.h"
#include "ui/results/ExportDialogTexts.h"

namespace tarnwick::ui {
namespace {

// What to tell when the writer failed. An XML file that cannot be created
// comes back with only its code; the user must still learn that nothing was
// saved.
std::string failureText(const Failure& failure, const std::string& targetPath)
{
    if (!failure.detail.empty()) return failure.detail;
    return failure.code ? ExportFailureMessage(targetPath, failure.code) : std::string();
}

}  // namespace

std::string ExportTemplateDirectory(const std::string& programDirectory)
{
    return ProgramFileDirectory(programDirectory, text::exporting::kTemplateFileName);
}

bool RunExportCommand(QWidget* parent, settings::ProfileStore& store, const ResultList& list, const RunValues& run,
                      const std::string& programDirectory, ExportPrompts* prompts)
{
    DesktopExportPrompts desktop;
    ExportPrompts& ask = prompts != nullptr ? *prompts : desktop;

    ExportDialog dialog(store, ExportTemplateDirectory(programDirectory), &ask, parent);
    if (dialog.exec() != QDialog::Accepted) return false;
    const ExportDialogLogic& logic = dialog.logic();

    const std::optional<std::string> target = ask.chooseTargetFile(parent, logic.saveDialog());
    if (!target || target->empty()) return false;

    const Expected<void> exported = ExportResults(logic.makeRequest(*target), run, list);
    if (exported) return true;
    const std::string text = failureText(exported.error(), *target);
    // Paths and the system's error text are in the system code page.
    if (!text.empty()) ask.showFailure(parent, QString::fromStdString(CodePage::system().ansiToUtf8(text)));
    return false;
}

}  // namespace tarnwick::ui
