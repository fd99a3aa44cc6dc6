#include "engine/walk/UnavailableDocumentEngine.h"

#include "engine/job/RunReports.h"

namespace tarnwick {

void UnavailableDocumentEngine::searchDocument(RunContext& run, const std::string& path)
{
    ReportDocumentsUnavailable(run, path);
}

void UnavailableDocumentEngine::replaceDocument(RunContext& run, const std::string& path) { searchDocument(run, path); }

}  // namespace tarnwick
