#pragma once
// The connection to the headless LibreOffice server: started on the first
// document that needs it, kept for the run, ended by stop() (the quit step of
// a run) and when the program ends. Every call to the server runs under a
// Call, which kills a server that does not answer within the time limit, so
// that a hanging document cannot hang the search. One server per process.
#include <com/sun/star/frame/XDesktop2.hpp>
#include <com/sun/star/uno/Exception.hpp>
#include <com/sun/star/uno/XComponentContext.hpp>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>

#include "word/libreoffice/SofficeProcess.h"

namespace tarnwick::word {

// A UTF-8 text (a path, an address) as the UNO API takes it.
rtl::OUString ToOUString(const std::string& utf8);

// The context of this process's own UNO runtime, which holds the bridges to
// LibreOffice. Made once from the installed URE's configuration.
css::uno::Reference<css::uno::XComponentContext> LocalUnoContext();

// The file URL of a document path, relative paths taken from the working
// folder. Throws ServerError (kErrorCannotOpen) for a path it cannot be.
rtl::OUString DocumentUrl(const std::string& path);

enum LibreOfficeErrorNumber : int {
    kErrorOfficeMissing = 5030,  // soffice is not installed
    kErrorOfficeNotStarted = 5031,  // it could not be started or did not answer in time
    kErrorOfficeHung = 5032,  // a call did not return in time: the server was killed
    kErrorOfficeLost = 5033,  // the server ended during a call
    kErrorOfficeRefused = 5034,  // the server raised an error of its own
};

class LibreOfficeServer {
public:
    static LibreOfficeServer& shared();
    // Ends the shared server if there is one; does not create it.
    static void stopShared();
    ~LibreOfficeServer();

    // The server's desktop; starts the server when it is not running.
    // Throws ServerError (kErrorOfficeMissing, kErrorOfficeNotStarted).
    css::uno::Reference<css::frame::XDesktop2> desktop();
    // The server's component context, to create its services; starts the
    // server as desktop() does.
    css::uno::Reference<css::uno::XComponentContext> context();
    // Ends the server, if it runs: asked first, killed when it does not end.
    void stop();
    bool isRunning();

    // Guards the calls to the server made during its lifetime.
    class Call {
    public:
        explicit Call(LibreOfficeServer& server);
        ~Call();
        Call(const Call&) = delete;
        Call& operator=(const Call&) = delete;

    private:
        LibreOfficeServer& m_server;
    };

    // Throws the ServerError that reports `error`, raised by a call to the
    // server; a server that was killed or has gone is forgotten, so the next
    // document starts a new one.
    [[noreturn]] void fail(const css::uno::Exception& error);

    // The time limit for starting and for each call: $TARNWICK_SOFFICE_TIMEOUT
    // seconds, 60 by default.
    static std::chrono::seconds timeLimit();

private:
    LibreOfficeServer();
    void start();
    void forget();
    bool answers();
    bool killedByWatchdog();
    void arm(std::chrono::steady_clock::time_point deadline);
    void watch();

    std::recursive_mutex m_lifetime;
    SofficeProcess m_process;
    css::uno::Reference<css::uno::XComponentContext> m_context;
    css::uno::Reference<css::frame::XDesktop2> m_desktop;

    std::mutex m_watchMutex;
    std::condition_variable m_watchWake;
    std::chrono::steady_clock::time_point m_deadline = std::chrono::steady_clock::time_point::max();
    bool m_killed = false;
    bool m_ending = false;
    std::thread m_watchdog;
};

}  // namespace tarnwick::word
