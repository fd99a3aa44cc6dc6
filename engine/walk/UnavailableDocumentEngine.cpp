#include "engine/walk/UnavailableDocumentEngine.h"

#include "engine/job/RunReports.h"

namespace tarnwick {

void UnavailableDocumentEngine::SearchDocument(RunContext& run, const std::string& path)
{
    ReportDocumentsUnavailable(run, path);
}

void UnavailableDocumentEngine::ReplaceDocument(RunContext& run, const std::string& path) { SearchDocument(run, path); }

}  // namespace tarnwick
