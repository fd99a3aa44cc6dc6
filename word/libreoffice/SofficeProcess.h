#pragma once
// The headless LibreOffice process the server component talks to: found,
// started with a private profile in a temporary folder (so the user's own
// LibreOffice and its settings are never touched) and a pipe of a random
// name (OfficePipes.h), and ended with everything it started. Not thread-safe.
#include <sys/types.h>

#include <atomic>
#include <chrono>
#include <string>
#include <vector>

#include "platform/Expected.h"

namespace tarnwick::word {

// The soffice program to run: $TARNWICK_SOFFICE when set (also when it names
// nothing runnable, so a wrong setting is noticed), else `soffice` on PATH,
// else the one in LibreOffice's program folder; "" when there is none.
std::string FindSoffice();

// How a started soffice is detached from this program.
enum class SpawnGroup {
    OwnProcessGroup,  // so the helper processes it starts end with it
    OwnSession,  // so it outlives this program, as the user's own LibreOffice
};

// Starts arguments[0] with /dev/null as its standard streams: its messages
// are of no use to the user, and its input must not be the terminal's.
// Gives the process id, or posix_spawn's error as a System failure.
Expected<pid_t> SpawnSoffice(std::vector<std::string> arguments, SpawnGroup group);

class SofficeProcess {
public:
    SofficeProcess() = default;
    ~SofficeProcess() { kill(); }
    SofficeProcess(const SofficeProcess&) = delete;
    SofficeProcess& operator=(const SofficeProcess&) = delete;

    // Starts `soffice` listening on a new pipe. A failure is System, its
    // detail the system's text.
    Expected<void> start(const std::string& soffice);
    const std::string& pipeName() const { return m_pipe; }
    bool running();
    // Waits up to `limit` for the process to end by itself; true when it did.
    bool waitForExit(std::chrono::milliseconds limit);
    // Kills the process group (soffice starts helper processes), waits for
    // it and removes the profile and the sockets of its pipes, which a
    // killed server leaves behind.
    void kill();
    // Only sends the kill signal: for a watchdog thread while another thread
    // is blocked in a call to the server (that call then fails).
    void interrupt();

private:
    void removeProfile();
    void removePipeSockets();

    std::atomic<pid_t> m_pid{-1};
    std::string m_pipe;
    std::string m_profile;
};

}  // namespace tarnwick::word
