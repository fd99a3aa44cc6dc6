#include "results/ResultsExport.h"

#include "platform/SystemError.h"

namespace tarnwick {

ExportOutcome ExportResults(const ExportRequest& request, const RunValues& run, const ResultList& list)
{
    switch (request.type) {
    case ExportType::Xml: return ExportXml(request.targetPath, run, list, request.filter);
    case ExportType::Csv: return ExportCsv(request.targetPath, request.separator, list, request.filter);
    case ExportType::Template: return ExportTemplate(request.targetPath, request.templatePath, run, list, request.filter);
    }
    return {};
}

std::string ExportFailureMessage(const std::string& path, std::error_code error)
{
    return "Fehler beim Exportieren der Datei " + path + ": " + SystemErrorText(error);
}

}  // namespace tarnwick
