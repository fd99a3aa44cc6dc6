// The template format of the export: the template file filled and written.
#include "platform/SystemError.h"
#include "results/ExportFile.h"
#include "results/ResultsExport.h"
#include "results/TemplateFiller.h"

namespace tarnwick {

Expected<void> ExportTemplate(const std::string& targetPath, const std::string& templatePath, const RunValues& run,
                              const ResultList& list, const ExportFilter& filter)
{
    std::string templateText;
    if (const std::error_code rc = ReadWholeFile(templatePath, templateText)) return systemFailure(rc, SystemErrorText(rc));
    const std::string output = FillTemplate(templateText, run, list, filter);

    ExportFile file;
    std::error_code rc = file.create(targetPath);
    if (!rc) rc = file.write(output);
    if (!rc) rc = file.close();
    if (rc) return exportFailure(targetPath, rc);
    return succeeded();
}

}  // namespace tarnwick
