#include "engine/job/RunReports.h"

#include "engine/Messages.h"
#include "engine/job/RunContext.h"
#include "engine/log/RunLog.h"
#include "platform/SystemError.h"
#include "results/ResultList.h"

namespace tarnwick {

void ReportPathError(RunContext& run, const std::string& path, const std::string& message)
{
    const ItemHandle item = run.results.AddFileItem(path, ItemKind::Error);
    run.results.UpdateItem(item, 2, UpdateWhat::TextAndKind, message, ItemKind::Error);
    run.results.ScrollToItem(item);
}

void ReportCannotOpen(RunContext& run, const std::string& path, int error)
{
    run.runLog.AppendCannotOpenLine();
    ReportPathError(run, path, std::string(text::kCannotOpenFile) + TruncateText(SystemErrorText(error)));
}

}  // namespace tarnwick
