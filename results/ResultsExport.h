#pragma once
// The export writer: saves the result list as XML, as CSV or through a
// user-supplied template. Reads the list through its read accessors and
// changes nothing in it; call it when no run is adding items.
//
// Every function fails when the file was not written whole: a System
// failure whose detail is what the user is told (the desktop shows it in a
// box, the CLI on stderr); an XML file that cannot be created brings only
// its code, and the front end words it.
#include "platform/Expected.h"
#include "results/ExportRequest.h"
#include "results/ResultList.h"

#include <string>
#include <system_error>

namespace tarnwick {

class CXmlDocument;

Expected<void> ExportResults(const ExportRequest& request, const RunValues& run, const ResultList& list);

Expected<void> ExportXml(const std::string& targetPath, const RunValues& run, const ResultList& list, const ExportFilter& filter);
Expected<void> ExportCsv(const std::string& targetPath, const std::string& separator, const ResultList& list,
                         const ExportFilter& filter);
Expected<void> ExportTemplate(const std::string& targetPath, const std::string& templatePath, const RunValues& run,
                              const ResultList& list, const ExportFilter& filter);

// Builds the XML export into `document` (which should be empty).
void BuildXmlExport(CXmlDocument& document, const RunValues& run, const ResultList& list, const ExportFilter& filter);

// "Fehler beim Exportieren der Datei <path>: <system message>"
std::string ExportFailureMessage(const std::string& path, std::error_code error);
// A write of the export that failed, with that message.
Failure exportFailure(const std::string& path, std::error_code error);

}  // namespace tarnwick
