// The template format of the export: the template file filled and written.
#include "platform/SystemError.h"
#include "results/ExportFile.h"
#include "results/ResultsExport.h"
#include "results/TemplateFiller.h"

namespace tarnwick {

ExportOutcome ExportTemplate(const std::string& targetPath, const std::string& templatePath, const RunValues& run,
                             const ResultList& list, const ExportFilter& filter)
{
    std::string templateText;
    if (const int rc = ReadWholeFile(templatePath, templateText); rc != 0) return {false, SystemErrorText(rc)};
    const std::string output = FillTemplate(templateText, run, list, filter);

    ExportFile file;
    int rc = file.create(targetPath);
    if (rc == 0) rc = file.write(output);
    if (rc == 0) rc = file.close();
    if (rc != 0) return {false, ExportFailureMessage(targetPath, rc)};
    return {true, {}};
}

}  // namespace tarnwick
