#include "engine/job/RunReports.h"

#include "engine/Messages.h"
#include "engine/job/RunContext.h"
#include "platform/SystemError.h"
#include "results/ResultList.h"

namespace tarnwick {

void ReportPathError(RunContext& run, const std::string& path, const std::string& message)
{
    const ItemHandle item = run.sink.AddFileItem(path, ItemKind::Error);
    run.sink.UpdateItem(item, 2, UpdateWhat::TextAndKind, message, ItemKind::Error);
    run.sink.ScrollToItem(item);
}

void ReportCannotOpen(RunContext& run, const std::string& path, int error)
{
    run.sink.LogCannotOpenLine();
    ReportPathError(run, path, std::string(text::kCannotOpenFile) + TruncateText(SystemErrorText(error)));
}

}  // namespace tarnwick
