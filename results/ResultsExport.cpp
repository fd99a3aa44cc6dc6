#include "results/ResultsExport.h"

#include "platform/SystemError.h"

namespace tarnwick {

Expected<void> ExportResults(const ExportRequest& request, const RunValues& run, const ResultList& list)
{
    ExportFilter filter = request.filter;
    filter.withoutHits = run.filesWithoutHits;
    switch (request.type) {
    case ExportType::Xml: return ExportXml(request.targetPath, run, list, filter);
    case ExportType::Csv: return ExportCsv(request.targetPath, request.separator, list, filter);
    case ExportType::Template: return ExportTemplate(request.targetPath, request.templatePath, run, list, filter);
    }
    return systemFailure(ErrnoCode(EINVAL));
}

std::string ExportFailureMessage(const std::string& path, std::error_code error)
{
    return "Fehler beim Exportieren der Datei " + path + ": " + SystemErrorText(error);
}

Failure exportFailure(const std::string& path, std::error_code error)
{
    return systemFailure(error, ExportFailureMessage(path, error));
}

}  // namespace tarnwick
