#include "ui/results/ExportCommand.h"

#include <optional>

#include "platform/CodePage.h"
#include "results/ExportFile.h"
#include "results/ResultsExport.h"
#include "ui/common/EngineText.h"
#include "ui/results/ExportDialog.h"
#include "ui/results/ExportDialogPrompts.h"
#include "ui/results/ExportDialogTexts.h"

namespace tarnwick::ui {
namespace {

// What to tell when the writer failed. An XML file that cannot be created
// comes back without a reason; the user must still learn that nothing was
// saved, so the reason is asked of the file system once more.
std::string failureText(const ExportOutcome& outcome, const std::string& targetPath)
{
    if (!outcome.message.empty()) return outcome.message;
    ExportFile probe;
    const std::error_code reason = probe.create(targetPath);
    return reason ? ExportFailureMessage(targetPath, reason) : std::string();
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

    const std::optional<std::string> target = ask.chooseTargetFile(parent, logic.SaveDialog());
    if (!target || target->empty()) return false;

    const ExportOutcome outcome = ExportResults(logic.MakeRequest(*target), run, list);
    if (outcome.success) return true;
    const std::string text = failureText(outcome, *target);
    // Paths and the system's error text are in the system code page.
    if (!text.empty()) ask.showFailure(parent, QString::fromStdString(CodePage::system().ansiToUtf8(text)));
    return false;
}

}  // namespace tarnwick::ui
