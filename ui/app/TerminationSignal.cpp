#include "ui/app/TerminationSignal.h"

#include <QSocketNotifier>

#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>

namespace tarnwick::ui {
namespace {

int g_writeEnd = -1;
struct sigaction g_previous {};

// Async-signal-safe: one write, errno kept.
extern "C" void onTerminate(int)
{
    const int saved = errno;
    const char byte = 1;
    if (g_writeEnd >= 0) (void)!::write(g_writeEnd, &byte, 1);
    errno = saved;
}

}  // namespace

TerminationSignal::TerminationSignal(QObject* parent) : QObject(parent)
{
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, m_sockets) != 0) return;
    // A handler never blocks, however many signals come.
    ::fcntl(m_sockets[0], F_SETFL, O_NONBLOCK);
    g_writeEnd = m_sockets[0];
    m_notifier = std::make_unique<QSocketNotifier>(m_sockets[1], QSocketNotifier::Read);
    connect(m_notifier.get(), &QSocketNotifier::activated, this, &TerminationSignal::readSignal);
    struct sigaction action {};
    action.sa_handler = onTerminate;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    ::sigaction(SIGTERM, &action, &g_previous);
}

TerminationSignal::~TerminationSignal()
{
    if (m_sockets[0] < 0) return;
    ::sigaction(SIGTERM, &g_previous, nullptr);
    g_writeEnd = -1;
    m_notifier.reset();
    ::close(m_sockets[0]);
    ::close(m_sockets[1]);
}

void TerminationSignal::readSignal()
{
    char bytes[16];
    const ssize_t got = ::read(m_sockets[1], bytes, sizeof bytes);
    // Requests that come together are one request.
    if (got > 0) emit requested(m_policy.onRequest());
}

}  // namespace tarnwick::ui
