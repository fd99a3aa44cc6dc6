#include "engine/job/RunReports.h"

#include "engine/Messages.h"
#include "engine/job/RunContext.h"
#include "platform/Exceptions.h"
#include "platform/SystemError.h"
#include "results/ResultList.h"

#include <cerrno>
#include <new>

namespace tarnwick {

void ReportPathError(RunContext& run, const std::string& path, const std::string& message)
{
    const ItemHandle item = run.sink.AddFileItem(path, ItemKind::Error);
    run.sink.UpdateItem(item, ResultColumn::Remark, UpdateWhat::TextAndKind, message, ItemKind::Error);
    run.sink.ScrollToItem(item);
}

void ReportCannotOpen(RunContext& run, const std::string& path, std::error_code error)
{
    run.sink.LogCannotOpenLine();
    ReportPathError(run, path, std::string(text::kCannotOpenFile) + TruncateText(SystemErrorText(error)));
}

void ReportUnreadableDirectory(RunContext& run, const std::string& path, std::error_code error)
{
    run.sink.LogMessageLine(text::kCannotReadDirectory, path);
    ReportPathError(run, path, std::string(text::kCannotReadDirectory) + ": " + TruncateText(SystemErrorText(error)));
}

void ReportEntryException(RunContext& run, const std::string& path, const std::string& unknownErrorText)
{
    try {
        throw;
    } catch (const CFileException& e) {
        ReportPathError(run, path, text::kFileExceptionPrefix + TruncateText(e.errorText()));
    } catch (const CMemoryException& e) {
        ReportPathError(run, path, text::kMemoryExceptionPrefix + TruncateText(e.errorText()));
    } catch (const FrameworkException& e) {
        ReportPathError(run, path, std::string(e.className()) + ": " + TruncateText(e.errorText()));
    } catch (const std::bad_alloc&) {
        ReportPathError(run, path, text::kMemoryExceptionPrefix + SystemErrorText(ENOMEM));
    } catch (...) {
        ReportPathError(run, path, unknownErrorText);
    }
}

void ReportFileWithoutHits(RunContext& run, const std::string& path, ItemHandle item)
{
    run.sink.SetItemColumnText(item, text::kWithoutHitsRemark, ResultColumn::Remark);
    run.sink.LogNameHitLine({}, path);
    run.sink.AddCounts(0, 1);
}

}  // namespace tarnwick
