#pragma once
// The process's fatal-signal handler: on SIGSEGV, SIGBUS, SIGFPE, SIGILL,
// SIGABRT or SIGSYS it writes the stack trace into a new file
// "<tempDir>/<base>-<16 hex digits>.trace", starts the reporter
// program (which collects the crash log and talks to the user in a process
// of its own), waits until the reporter has read what it needs from
// /proc/<pid>, and then lets the signal end the process as it would have
// without the handler, so the exit status and a core dump stay the system's.
//
// The handler runs on an alternate signal stack of the installing thread, and
// of every thread started through the thread-start hook (platform/ThreadStart.h),
// so a stack overflow there is reported too. Inside the handler only
// async-signal-safe calls are made (and backtrace(), whose library is loaded
// at installation); everything it needs is prepared at installation.
//
// An exception that nothing caught (std::terminate, then SIGABRT) is named
// in the trace with its type and text.
//
// One handler per process: the object is the installation, and destroying
// it restores the signal actions and the signal stack found before. A second
// object while one is installed installs nothing.
#include <string>

namespace tarnwick::crash {

struct CrashHandlerSetup {
    std::string reporterPath;  // empty: only the trace file is written
    // Kept with the handler; the report does not use them.
    std::string contact;
    std::string subject;
};

class CrashHandler {
public:
    explicit CrashHandler(CrashHandlerSetup setup);
    ~CrashHandler();
    CrashHandler(const CrashHandler&) = delete;
    CrashHandler& operator=(const CrashHandler&) = delete;

    bool installed() const { return m_installed; }
    const CrashHandlerSetup& setup() const { return m_setup; }

private:
    CrashHandlerSetup m_setup;
    bool m_installed = false;
};

}  // namespace tarnwick::crash
