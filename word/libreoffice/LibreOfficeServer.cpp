#include "word/libreoffice/LibreOfficeServer.h"

#include <com/sun/star/bridge/UnoUrlResolver.hpp>
#include <com/sun/star/connection/NoConnectException.hpp>
#include <com/sun/star/frame/Desktop.hpp>
#include <cppuhelper/bootstrap.hxx>
#include <osl/file.hxx>
#include <rtl/bootstrap.hxx>

#include <atomic>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "word/automation/WordErrors.h"

using namespace com::sun::star;
using rtl::OString;
using rtl::OUString;

namespace tarnwick::word {

rtl::OUString ToOUString(const std::string& utf8) { return OStringToOUString(OString(utf8.c_str()), RTL_TEXTENCODING_UTF8); }

OUString DocumentUrl(const std::string& path)
{
    std::error_code error;
    std::filesystem::path absolute = std::filesystem::absolute(path, error);
    if (error) absolute = path;
    OUString url;
    if (osl::FileBase::getFileURLFromSystemPath(ToOUString(absolute.lexically_normal().string()), url) != osl::FileBase::E_None)
        Refuse(kErrorCannotOpen, "Der Dateiname kann LibreOffice nicht übergeben werden.");
    return url;
}

namespace {

std::string seconds(std::chrono::seconds limit) { return std::to_string(limit.count()) + " s"; }

std::atomic<bool> g_sharedCreated{false};

}  // namespace

uno::Reference<uno::XComponentContext> LocalUnoContext()
{
    static const uno::Reference<uno::XComponentContext> context = [] {
        const std::string program = TARNWICK_LO_PROGRAM_DIR;
        rtl::Bootstrap::set(OUString("URE_BOOTSTRAP"), ToOUString("vnd.sun.star.pathname:" + program + "/fundamentalrc"));
        return cppu::defaultBootstrap_InitialComponentContext(ToOUString("file://" + program + "/unorc"));
    }();
    return context;
}

LibreOfficeServer& LibreOfficeServer::shared()
{
    // Destroyed when the program ends, which ends the server with it.
    static LibreOfficeServer server;
    g_sharedCreated = true;
    return server;
}

void LibreOfficeServer::stopShared()
{
    if (g_sharedCreated) shared().stop();
}

LibreOfficeServer::LibreOfficeServer() : m_watchdog([this] { watch(); }) {}

LibreOfficeServer::~LibreOfficeServer()
{
    stop();
    {
        std::lock_guard lock(m_watchMutex);
        m_ending = true;
    }
    m_watchWake.notify_all();
    m_watchdog.join();
}

std::chrono::seconds LibreOfficeServer::timeLimit()
{
    if (const char* value = std::getenv("TARNWICK_SOFFICE_TIMEOUT"); value && *value) {
        char* end = nullptr;
        const long limit = std::strtol(value, &end, 10);
        if (end && *end == '\0' && limit > 0) return std::chrono::seconds(limit);
    }
    return std::chrono::seconds(60);
}

bool LibreOfficeServer::isRunning()
{
    std::lock_guard lock(m_lifetime);
    return m_desktop.is() && m_process.running();
}

uno::Reference<frame::XDesktop2> LibreOfficeServer::desktop()
{
    std::lock_guard lock(m_lifetime);
    if (!answers()) start();
    return m_desktop;
}

uno::Reference<uno::XComponentContext> LibreOfficeServer::context()
{
    std::lock_guard lock(m_lifetime);
    if (!answers()) start();
    return m_context;
}

// The server's process may outlive its connection for a moment (its starter
// waits for the office that has crashed): only a call shows that the server
// still serves. One round trip, before each document.
bool LibreOfficeServer::answers()
{
    if (!m_desktop.is() || !m_process.running()) return false;
    try {
        const Call call(*this);
        m_desktop->getCurrentComponent();
        return true;
    } catch (const uno::Exception&) {
        return false;
    }
}

void LibreOfficeServer::start()
{
    forget();
    const std::string soffice = FindSoffice();
    if (soffice.empty())
        throw ServerError(kErrorOfficeMissing,
                          "Für dieses Dokumentformat wird LibreOffice benötigt, es ist aber nicht installiert "
                          "(Programm soffice nicht gefunden; Paket libreoffice-writer-nogui).");
    // A server that ends while the bridge writes to it must fail that call,
    // not end this program.
    std::signal(SIGPIPE, SIG_IGN);
    if (const Expected<void> started = m_process.start(soffice); !started)
        throw ServerError(kErrorOfficeNotStarted, "LibreOffice kann nicht gestartet werden: " + started.error().detail);

    const std::chrono::seconds limit = timeLimit();
    const auto deadline = std::chrono::steady_clock::now() + limit;
    try {
        const uno::Reference<bridge::XUnoUrlResolver> resolver = bridge::UnoUrlResolver::create(LocalUnoContext());
        const OUString url = ToOUString("uno:pipe,name=" + m_process.pipeName() + ";urp;StarOffice.ComponentContext");
        // The server opens its pipe only when it is ready; until then connecting fails.
        for (;;) {
            try {
                arm(deadline);
                m_context.set(resolver->resolve(url), uno::UNO_QUERY_THROW);
                m_desktop = frame::Desktop::create(m_context);
                arm(std::chrono::steady_clock::time_point::max());
                return;
            } catch (const connection::NoConnectException&) {
                arm(std::chrono::steady_clock::time_point::max());
            }
            if (!m_process.running() || std::chrono::steady_clock::now() >= deadline) break;
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
    } catch (const uno::Exception& e) {
        arm(std::chrono::steady_clock::time_point::max());
        if (!killedByWatchdog()) {
            forget();
            throw ServerError(kErrorOfficeNotStarted,
                              "Die Verbindung zu LibreOffice kann nicht hergestellt werden: " +
                                  std::string(e.Message.toUtf8().getStr()));
        }
    }
    // The watchdog may have ended it at the deadline while it was being asked.
    const bool ended = !killedByWatchdog() && !m_process.running();
    forget();
    throw ServerError(kErrorOfficeNotStarted,
                      ended ? std::string("LibreOffice hat sich beim Start beendet.")
                            : "LibreOffice hat nicht innerhalb von " + seconds(limit) + " geantwortet und wurde beendet.");
}

void LibreOfficeServer::stop()
{
    std::lock_guard lock(m_lifetime);
    if (m_desktop.is() && m_process.running()) {
        try {
            const Call call(*this);
            m_desktop->terminate();
        } catch (const uno::Exception&) {
            // The server ends as the call returns, or is killed below.
        }
    }
    m_desktop.clear();
    m_process.waitForExit(std::chrono::seconds(10));
    forget();
}

void LibreOfficeServer::forget()
{
    m_desktop.clear();
    m_context.clear();
    m_process.kill();
    std::lock_guard lock(m_watchMutex);
    m_killed = false;
}

bool LibreOfficeServer::killedByWatchdog()
{
    std::lock_guard lock(m_watchMutex);
    return m_killed;
}

void LibreOfficeServer::fail(const uno::Exception& error)
{
    std::lock_guard lock(m_lifetime);
    if (killedByWatchdog()) {
        forget();
        throw ServerError(kErrorOfficeHung,
                          "LibreOffice hat nicht innerhalb von " + seconds(timeLimit()) + " geantwortet und wurde beendet.");
    }
    // A server that ended (crashed) during the call has disposed of the
    // connection, though its process may not have ended yet.
    if (!m_process.running() || !answers()) {
        forget();
        throw ServerError(kErrorOfficeLost,
                          "LibreOffice ist bei diesem Dokument abgestürzt (die Verbindung ist abgebrochen); "
                          "für das nächste Dokument wird es neu gestartet.");
    }
    throw ServerError(kErrorOfficeRefused, "LibreOffice meldet einen Fehler: " + std::string(error.Message.toUtf8().getStr()));
}

LibreOfficeServer::Call::Call(LibreOfficeServer& server) : m_server(server)
{
    m_server.arm(std::chrono::steady_clock::now() + timeLimit());
}

LibreOfficeServer::Call::~Call() { m_server.arm(std::chrono::steady_clock::time_point::max()); }

void LibreOfficeServer::arm(std::chrono::steady_clock::time_point deadline)
{
    {
        std::lock_guard lock(m_watchMutex);
        m_deadline = deadline;
    }
    m_watchWake.notify_all();
}

void LibreOfficeServer::watch()
{
    std::unique_lock lock(m_watchMutex);
    while (!m_ending) {
        if (m_deadline == std::chrono::steady_clock::time_point::max()) {
            m_watchWake.wait(lock);
        } else if (m_watchWake.wait_until(lock, m_deadline) == std::cv_status::timeout &&
                   std::chrono::steady_clock::now() >= m_deadline) {
            // The blocked call fails once the server is gone.
            m_killed = true;
            m_deadline = std::chrono::steady_clock::time_point::max();
            m_process.interrupt();
        }
    }
}

}  // namespace tarnwick::word
