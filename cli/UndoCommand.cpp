#include "cli/UndoCommand.h"

#include <ctime>

#include "engine/undo/JournalStore.h"
#include "engine/undo/UndoRun.h"
#include "platform/FileOps.h"

namespace tarnwick {
namespace {

void printLine(int fd, const std::string& text)
{
    const std::string line = text + "\n";
    (void)WriteAll(fd, line.data(), line.size());
}

std::string localTime(std::int64_t seconds)
{
    const auto t = static_cast<std::time_t>(seconds);
    std::tm local{};
    ::localtime_r(&t, &local);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local);
    return text;
}

int list(const std::string& root, int outFd)
{
    const std::vector<JournalInfo> journals = ListJournals(root);
    if (journals.empty()) {
        printLine(outFd, "Keine Läufe zum Rückgängigmachen.");
        return 1;
    }
    for (const JournalInfo& journal : journals)
        printLine(outFd,
                  journal.id + "  " + localTime(journal.created) + "  " + RunKindText(journal.kind) + "  " +
                      std::to_string(journal.fileCount()) + " Dateien, " + std::to_string(journal.renameCount()) +
                      " Umbenennungen" + (journal.partlyRestored() ? ", teilweise rückgängig gemacht" : ""));
    return 0;
}

}  // namespace

int RunUndoCommand(const std::string& root, bool listOnly, const std::string& run, int outFd, int errFd,
                   const std::atomic<bool>* stop)
{
    if (listOnly) return list(root, outFd);
    const UndoReport report = UndoRun(root, run, stop);
    for (const std::string& line : report.restored) printLine(outFd, "Wiederhergestellt: " + line);
    for (const std::string& line : report.leftAlone) printLine(errFd, "Nicht wiederhergestellt: " + line);
    const bool failed = report.missing || report.busy || !report.lockFailure.empty();
    printLine(failed ? errFd : outFd, report.summary());
    return report.exitStatus();
}

}  // namespace tarnwick
