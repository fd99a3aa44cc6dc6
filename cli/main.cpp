// tarnwick-cli: the search engine of Tarnwick, run from a terminal.
#include "cli/CliSession.h"
#include "cli/CommandLine.h"
#include "cli/StopSignals.h"
#include "cli/StoredForm.h"
#include "cli/UndoCommand.h"
#include "engine/undo/JournalStore.h"
#include "platform/Clock.h"
#include "platform/CodePage.h"
#include "platform/LibrarySearchPath.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <csignal>
#include <iostream>

int main(int argc, char** argv)
{
    using namespace tarnwick;
    RestoreLibrarySearchPath();
    std::ios::sync_with_stdio(false);
    const CodePage& codePage = CodePage::system();
    const SystemClock clock;
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    const Expected<CliRequest> parsed = ParseCommandLine(arguments, clock);
    if (!parsed) {
        if (!parsed.error().detail.empty()) std::cerr << parsed.error().detail << '\n';
        return 2;
    }
    if (parsed.value().command == CliCommand::Help) {
        std::cout << parsed.value().helpText;
        return 0;
    }
    if (parsed.value().command == CliCommand::Undo) {
        // Ctrl+C stops the undo between two files: each is whole, and a
        // second undo goes on where this one stopped.
        std::atomic<bool> stop{false};
        StopSignals signals;
        signals.setStop([&stop] { stop.store(true); });
        const int status =
            RunUndoCommand(JournalRoot(), parsed.value().undoList, parsed.value().undoRun, STDOUT_FILENO, STDERR_FILENO, &stop);
        signals.setStop(nullptr);
        return status == kUndoStoppedStatus && signals.received() ? ExitStatusForSignal(signals.received()) : status;
    }
    // A reader that goes away (| head) must not kill the program by a signal:
    // the write fails instead, and the run ends quietly.
    std::signal(SIGPIPE, SIG_IGN);
    // A larger pipe lets the run go on while the reader catches up, and lets
    // the reader take the output in larger pieces. Where the system does not
    // allow it, the pipe stays as it is.
    struct stat out {};
    if (::fstat(STDOUT_FILENO, &out) == 0 && S_ISFIFO(out.st_mode)) ::fcntl(STDOUT_FILENO, F_SETPIPE_SZ, 1 << 20);
    // The journal for an undo is kept as the options dialog says, as in the desktop program.
    CliRequest request = parsed.value();
    if (request.command != CliCommand::Search) request.undo = StoredUndoOptions("");
    StopSignals signals;
    return RunCliRequest(request, codePage, clock, STDOUT_FILENO, STDERR_FILENO, &signals);
}
