#include "engine/walk/UnavailableDocumentEngine.h"

#include "engine/Messages.h"
#include "engine/log/RunLog.h"
#include "results/ResultList.h"

namespace tarnwick {

void UnavailableDocumentEngine::SearchDocument(RunContext& run, const std::string& path)
{
    run.sink.LogMessageLine(text::kWordCannotStart, path);
    const ItemHandle item = run.sink.AddFileItem(std::string(text::kWordCannotStart) + ": " + path, ItemKind::Error);
    run.sink.ScrollToItem(item);
}

void UnavailableDocumentEngine::ReplaceDocument(RunContext& run, const std::string& path) { SearchDocument(run, path); }

}  // namespace tarnwick
