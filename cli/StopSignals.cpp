#include "cli/StopSignals.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>

namespace tarnwick {
namespace {

int g_writeEnd = -1;
struct sigaction g_previousInt {
}, g_previousTerm{};

// Async-signal-safe: one write, errno kept.
extern "C" void onStopSignal(int signal)
{
    const int saved = errno;
    const auto byte = static_cast<unsigned char>(signal);
    if (g_writeEnd >= 0) (void)!::write(g_writeEnd, &byte, 1);
    errno = saved;
}

}  // namespace

StopSignals::StopSignals()
{
    if (::pipe2(m_pipe, O_CLOEXEC) != 0) return;
    // A handler never blocks, however many signals come.
    ::fcntl(m_pipe[1], F_SETFL, O_NONBLOCK);
    g_writeEnd = m_pipe[1];
    m_thread = std::thread([this] { watch(); });
    struct sigaction action {};
    action.sa_handler = onStopSignal;
    sigemptyset(&action.sa_mask);
    // Reads and writes of the run resume after the handler.
    action.sa_flags = SA_RESTART;
    ::sigaction(SIGINT, &action, &g_previousInt);
    ::sigaction(SIGTERM, &action, &g_previousTerm);
}

StopSignals::~StopSignals()
{
    if (m_pipe[1] < 0) return;
    ::sigaction(SIGINT, &g_previousInt, nullptr);
    ::sigaction(SIGTERM, &g_previousTerm, nullptr);
    const unsigned char end = 0;
    (void)!::write(m_pipe[1], &end, 1);
    m_thread.join();
    g_writeEnd = -1;
    ::close(m_pipe[0]);
    ::close(m_pipe[1]);
}

void StopSignals::setStop(std::function<void()> stop)
{
    std::lock_guard lock(m_mutex);
    m_stop = std::move(stop);
    if (m_stop && m_received.load() != 0) m_stop();
}

void StopSignals::watch()
{
    for (;;) {
        unsigned char signal = 0;
        const ssize_t got = ::read(m_pipe[0], &signal, 1);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0 || signal == 0) return;
        int expected = 0;
        const bool again = !m_received.compare_exchange_strong(expected, signal) && expected == signal;
        std::lock_guard lock(m_mutex);
        if (again && !m_stop) {
            // Asked twice with no job left to clean up after: the user wants out now.
            ::signal(signal, SIG_DFL);
            ::raise(signal);
        }
        // Asked again while a job stops: ending now could leave a temporary
        // file behind, so the stop already under way finishes first.
        if (m_stop) m_stop();
    }
}

}  // namespace tarnwick
