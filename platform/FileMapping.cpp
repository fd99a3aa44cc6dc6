#include "FileMapping.h"

#include "SystemError.h"

#include <signal.h>
#include <sys/mman.h>
#include <unistd.h>

#include <atomic>
#include <mutex>

namespace tarnwick {
namespace {

// The views in use, read by the signal handler: plain atomics, no locks.
constexpr int kGuards = 512;
std::atomic<std::uintptr_t> g_begin[kGuards];
std::atomic<std::uintptr_t> g_end[kGuards];
std::atomic<bool> g_lost[kGuards];

struct sigaction g_previous;  // written before the handler is installed
std::mutex g_installMutex;

void forward(int signal, siginfo_t* info, void* context)
{
    if (g_previous.sa_flags & SA_SIGINFO) {
        if (g_previous.sa_sigaction) g_previous.sa_sigaction(signal, info, context);
        return;
    }
    if (g_previous.sa_handler != SIG_DFL && g_previous.sa_handler != SIG_IGN) {
        g_previous.sa_handler(signal);
        return;
    }
    // Nobody else wants it: the default action, when the fault repeats.
    struct sigaction fallback {};
    fallback.sa_handler = SIG_DFL;
    ::sigaction(signal, &fallback, nullptr);
}

void onBusError(int signal, siginfo_t* info, void* context)
{
    const auto address = reinterpret_cast<std::uintptr_t>(info->si_addr);
    for (int i = 0; i < kGuards; ++i) {
        const std::uintptr_t begin = g_begin[i].load(std::memory_order_acquire);
        if (begin == 0 || address < begin || address >= g_end[i].load(std::memory_order_acquire)) continue;
        // The file no longer reaches this page: put a page of zeros there,
        // so the read that faulted goes on, and remember it.
        const auto page = static_cast<std::uintptr_t>(::sysconf(_SC_PAGESIZE));
        void* at = reinterpret_cast<void*>(address & ~(page - 1));
        if (::mmap(at, page, PROT_READ, MAP_PRIVATE | MAP_ANONYMOUS | MAP_FIXED, -1, 0) == MAP_FAILED) break;
        g_lost[i].store(true, std::memory_order_release);
        return;
    }
    forward(signal, info, context);
}

// Installs the handler, or installs it again when something replaced it.
void ensureHandler()
{
    std::lock_guard lock(g_installMutex);
    struct sigaction current {};
    ::sigaction(SIGBUS, nullptr, &current);
    if ((current.sa_flags & SA_SIGINFO) && current.sa_sigaction == &onBusError) return;
    g_previous = current;
    struct sigaction action {};
    action.sa_sigaction = &onBusError;
    action.sa_flags = SA_SIGINFO | SA_ONSTACK;
    sigemptyset(&action.sa_mask);
    ::sigaction(SIGBUS, &action, nullptr);
}

int claimGuard(std::uintptr_t begin, std::uintptr_t end)
{
    for (int i = 0; i < kGuards; ++i) {
        std::uintptr_t expected = 0;
        if (g_begin[i].compare_exchange_strong(expected, begin, std::memory_order_acq_rel)) {
            g_lost[i].store(false, std::memory_order_relaxed);
            g_end[i].store(end, std::memory_order_release);
            return i;
        }
    }
    return -1;
}

}  // namespace

FileMapping::~FileMapping() { unmap(); }

std::error_code FileMapping::map(int fd, std::uint64_t offset, std::size_t length)
{
    unmap();
    if (length == 0) return ErrnoCode(EINVAL);
    const auto page = static_cast<std::uint64_t>(::sysconf(_SC_PAGESIZE));
    const std::uint64_t start = offset & ~(page - 1);
    const std::size_t lead = static_cast<std::size_t>(offset - start);
    const std::size_t total = lead + length;
    ensureHandler();
    void* base = ::mmap(nullptr, total, PROT_READ, MAP_PRIVATE | MAP_POPULATE, fd, static_cast<off_t>(start));
    if (base == MAP_FAILED) return LastErrnoCode();
    const auto begin = reinterpret_cast<std::uintptr_t>(base);
    m_guard = claimGuard(begin, begin + total);
    if (m_guard < 0) {
        // Every guard slot is taken by other threads' views.
        ::munmap(base, total);
        return ErrnoCode(EBUSY);
    }
    m_base = base;
    m_mappedLength = total;
    m_data = static_cast<const char*>(base) + lead;
    m_size = length;
    return {};
}

void FileMapping::unmap()
{
    if (!m_base) return;
    // The slot goes first: once the pages are gone their addresses may be
    // given to another mapping, whose SIGBUS must not be taken for this view.
    // The end is cleared before the begin frees the slot for another view.
    g_end[m_guard].store(0, std::memory_order_release);
    g_begin[m_guard].store(0, std::memory_order_release);
    ::munmap(m_base, m_mappedLength);
    m_base = nullptr;
    m_data = nullptr;
    m_size = 0;
    m_mappedLength = 0;
    m_guard = -1;
}

bool FileMapping::lostPages() const { return m_guard >= 0 && g_lost[m_guard].load(std::memory_order_acquire); }

}  // namespace tarnwick
