#include "engine/log/OperationLog.h"

#include "engine/Messages.h"
#include "platform/FileOps.h"
#include "platform/SystemError.h"
#include "results/ResultList.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <ctime>

namespace tarnwick {
namespace {

Failure failure(std::error_code error)
{
    return systemFailure(error, std::string(text::kCannotWriteLog) + ": " + SystemErrorText(error));
}

}  // namespace

std::string LogDateLine(std::int64_t seconds)
{
    const std::time_t t = static_cast<std::time_t>(seconds);
    std::tm local{};
    localtime_r(&t, &local);
    char buffer[128];
    const std::size_t n = std::strftime(buffer, sizeof buffer, "%d.%B.%Y, %H:%M:%S\r\n", &local);
    return std::string(buffer, n);
}

Expected<void> WriteRunLog(const std::string& logPath, const std::string& runLogText, const Clock& clock)
{
    const int fd = ::open(logPath.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    if (fd < 0) return failure(LastErrnoCode());
    const std::string dateLine = LogDateLine(clock.now());
    std::error_code error = WriteAll(fd, dateLine.data(), dateLine.size());
    if (!error) error = WriteAll(fd, runLogText.data(), runLogText.size());
    if (!error) error = WriteAll(fd, "\r\n\r\n", 4);
    if (::close(fd) != 0 && !error) error = LastErrnoCode();
    if (error) return failure(error);
    return succeeded();
}

void WriteRunLog(const std::string& logPath, const std::string& runLogText, const Clock& clock, ResultList& results)
{
    if (const Expected<void> written = WriteRunLog(logPath, runLogText, clock); !written) {
        const ItemHandle item = results.AddFileItem(written.error().detail, ItemKind::Error);
        results.ScrollToItem(item);
    }
}

}  // namespace tarnwick
