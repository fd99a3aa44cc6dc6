#pragma once
// The export writer: saves the result list as XML, as CSV or through a
// user-supplied template. Reads the list through its read accessors and
// changes nothing in it; call it when no run is adding items.
//
// Every function returns whether the file was written. A failure the user
// should hear of comes back as the outcome's message (the desktop shows it in
// a box, the CLI on stderr); an XML file that cannot be created brings none.
#include "results/ExportRequest.h"
#include "results/ResultList.h"

#include <string>
#include <system_error>

namespace tarnwick {

class CXmlDocument;

struct ExportOutcome {
    bool success = false;
    std::string message;  // empty: nothing to tell
};

ExportOutcome ExportResults(const ExportRequest& request, const RunValues& run, const ResultList& list);

ExportOutcome ExportXml(const std::string& targetPath, const RunValues& run, const ResultList& list, const ExportFilter& filter);
ExportOutcome ExportCsv(const std::string& targetPath, const std::string& separator, const ResultList& list,
                        const ExportFilter& filter);
ExportOutcome ExportTemplate(const std::string& targetPath, const std::string& templatePath, const RunValues& run,
                             const ResultList& list, const ExportFilter& filter);

// Builds the XML export into `document` (which should be empty).
void BuildXmlExport(CXmlDocument& document, const RunValues& run, const ResultList& list, const ExportFilter& filter);

// "Fehler beim Exportieren der Datei <path>: <system message>"
std::string ExportFailureMessage(const std::string& path, std::error_code error);

}  // namespace tarnwick
