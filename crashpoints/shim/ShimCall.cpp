#include "crashpoints/shim/ShimCall.h"

#include <dlfcn.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

namespace crashshim {
namespace {

// The shim writes and reads through raw system calls: its own log and
// look-ups must neither be counted nor reach the wrappers.
std::atomic<bool> g_counting{false};
std::atomic<std::uint64_t> g_issued{0};  // indices handed out
std::atomic<std::uint64_t> g_returned{0};  // counted calls that have returned
std::uint64_t g_crashAt = 0;  // 0: no crash; written before counting starts
bool g_crashAfter = false;
int g_logFd = -1;

void rawSleep(long nanoseconds)
{
    timespec pause{nanoseconds / 1'000'000'000, nanoseconds % 1'000'000'000};
    ::syscall(SYS_nanosleep, &pause, nullptr);
}

[[noreturn]] void killSelf()
{
    ::syscall(SYS_kill, ::syscall(SYS_getpid), SIGKILL);
    for (;;) rawSleep(1'000'000'000);
}

// A call numbered after the crash point must not happen: its thread waits
// for the kill that is on its way.
[[noreturn]] void waitForKill()
{
    for (;;) rawSleep(1'000'000'000);
}

// Calls numbered before the crash point may still be running on other
// threads; their effects belong to the state at the crash. Bounded, so a
// call that never returns cannot hold the kill back for ever.
void awaitReturned(std::uint64_t count)
{
    for (int waited = 0; waited < 10'000 && g_returned.load() < count; ++waited) rawSleep(200'000);
}

void writeLog(const char* text, std::size_t length)
{
    if (g_logFd >= 0) (void)::syscall(SYS_write, g_logFd, text, length);
}

bool startsWith(const char* text, const char* prefix) { return std::strncmp(text, prefix, std::strlen(prefix)) == 0; }

bool isOwnFile(const char* absolute)
{
    if (absolute[0] != '/') return false;  // pipe:[..], socket:[..], anon_inode:..
    // /dev/shm holds ordinary files (a memory file system); the rest of /dev are devices.
    if (startsWith(absolute, "/dev/shm/")) return true;
    for (const char* prefix : {"/proc/", "/dev/", "/memfd:"})
        if (startsWith(absolute, prefix)) return false;
    return std::strcmp(absolute, "/proc") != 0 && std::strcmp(absolute, "/dev") != 0;
}

// The path an open descriptor refers to, or false.
bool descriptorPath(int fd, char* out, std::size_t size)
{
    char link[64];
    std::snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
    const long length = ::syscall(SYS_readlinkat, AT_FDCWD, link, out, size - 1);
    if (length < 0) return false;
    out[length] = '\0';
    return true;
}

void start()
{
    if (const char* log = std::getenv("TARNWICK_CRASHPOINT_LOG"); log && *log)
        g_logFd = static_cast<int>(::syscall(SYS_openat, AT_FDCWD, log, O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0600));
    if (const char* at = std::getenv("TARNWICK_CRASHPOINT_AT"); at && *at) g_crashAt = std::strtoull(at, nullptr, 10);
    if (const char* when = std::getenv("TARNWICK_CRASHPOINT_WHEN"); when && std::strcmp(when, "after") == 0) g_crashAfter = true;
    // Programs this one starts are not part of the run under test.
    for (const char* name : {"LD_PRELOAD", "TARNWICK_CRASHPOINT_LOG", "TARNWICK_CRASHPOINT_AT", "TARNWICK_CRASHPOINT_WHEN"})
        ::unsetenv(name);
    g_counting.store(true);
}

using MainFunction = int (*)(int, char**, char**);
MainFunction g_main = nullptr;

int mainWithCounting(int argc, char** argv, char** envp)
{
    start();
    return g_main(argc, argv, envp);
}

}  // namespace

void* NextSymbol(const char* name) { return ::dlsym(RTLD_NEXT, name); }

Call::Call(const char* name)
{
    m_line[0] = '\0';
    append(name);
    append("\t");
}

void Call::append(const char* text)
{
    const std::size_t room = kLineSize - 1 - m_length;
    const std::size_t length = std::min(std::strlen(text), room);
    std::memcpy(m_line + m_length, text, length);
    m_length += length;
    m_line[m_length] = '\0';
}

void Call::appendSeparator()
{
    if (m_arguments++ > 0) append(", ");
}

Call& Call::path(int dirFd, const char* path)
{
    appendSeparator();
    if (!path) {
        append("(null)");
        return *this;
    }
    char absolute[4096];
    absolute[0] = '\0';
    if (path[0] == '/') {
        std::snprintf(absolute, sizeof absolute, "%s", path);
    } else {
        char base[1024];
        bool known = false;
        if (dirFd == AT_FDCWD)
            known = ::syscall(SYS_getcwd, base, sizeof base) > 0;
        else
            known = descriptorPath(dirFd, base, sizeof base);
        if (!known) std::snprintf(base, sizeof base, "(fd %d)", dirFd);
        std::snprintf(absolute, sizeof absolute, "%s%s%s", base, *path ? "/" : "", path);
    }
    append(absolute);
    if (isOwnFile(absolute)) m_counts = true;
    return *this;
}

Call& Call::fd(int fd)
{
    appendSeparator();
    char text[32];
    std::snprintf(text, sizeof text, "fd %d ", fd);
    append(text);
    char target[1024];
    if (!descriptorPath(fd, target, sizeof target)) {
        // Unknown (closed, or no /proc): counted, so that nothing is missed.
        append("?");
        m_counts = true;
        return *this;
    }
    append(target);
    if (fd != STDOUT_FILENO && fd != STDERR_FILENO && isOwnFile(target)) m_counts = true;
    return *this;
}

Call& Call::text(const char* text)
{
    appendSeparator();
    append(text);
    return *this;
}

Call& Call::everyFile()
{
    appendSeparator();
    append("every file");
    m_counts = true;
    return *this;
}

Call& Call::number(long long value)
{
    char text[32];
    std::snprintf(text, sizeof text, "%lld", value);
    appendSeparator();
    append(text);
    return *this;
}

Call& Call::openFlags(int flags)
{
    appendSeparator();
    const int access = flags & O_ACCMODE;
    append(access == O_WRONLY ? "O_WRONLY" : access == O_RDWR ? "O_RDWR" : "O_RDONLY");
    struct Named {
        int flag;
        const char* name;
    };
    for (const Named& named :
         {Named{O_CREAT, "|O_CREAT"}, Named{O_EXCL, "|O_EXCL"}, Named{O_TRUNC, "|O_TRUNC"}, Named{O_APPEND, "|O_APPEND"},
          Named{O_TMPFILE, "|O_TMPFILE"}, Named{O_DIRECTORY, "|O_DIRECTORY"}, Named{O_NOFOLLOW, "|O_NOFOLLOW"}})
        if ((flags & named.flag) == named.flag && !(named.flag == O_DIRECTORY && (flags & O_TMPFILE) == O_TMPFILE))
            append(named.name);
    return *this;
}

void Call::finish(const char* result)
{
    char line[kLineSize + 128];
    const int length =
        std::snprintf(line, sizeof line, "%llu\t%s\t%s\n", static_cast<unsigned long long>(m_index), m_line, result);
    if (length > 0) writeLog(line, std::min(static_cast<std::size_t>(length), sizeof line - 1));
}

void Call::begin()
{
    m_started = true;
    m_index = g_issued.fetch_add(1) + 1;
    if (g_crashAt == 0 || m_index < g_crashAt) return;
    if (m_index > g_crashAt) waitForKill();
    if (g_crashAfter) return;
    awaitReturned(m_index - 1);
    finish("not run: killed before it");
    killSelf();
}

void Call::end(long long result)
{
    const int savedErrno = errno;
    char text[96];
    if (result == -1) {
        const char* name = ::strerrorname_np(savedErrno);
        std::snprintf(text, sizeof text, "-1 %s", name ? name : "?");
    } else {
        std::snprintf(text, sizeof text, "%lld", result);
    }
    const bool dies = m_started && m_index == g_crashAt && g_crashAfter;
    if (dies) std::strncat(text, "; killed after it", sizeof text - std::strlen(text) - 1);
    finish(text);
    g_returned.fetch_add(1);
    if (dies) {
        awaitReturned(m_index);
        killSelf();
    }
    errno = savedErrno;
}

void Call::endWithErrorNumber(int error)
{
    const int savedErrno = errno;
    if (error == 0) {
        end(0);
    } else {
        errno = error;
        end(-1);
    }
    errno = savedErrno;
}

bool Call::counts() const { return m_counts && g_counting.load(); }

}  // namespace crashshim

// Counting begins with main: what the loader and the constructors of the
// program's libraries do before it is not the program's work.
extern "C" int __libc_start_main(crashshim::MainFunction main, int argc, char** argv, void (*init)(), void (*fini)(),
                                 void (*rtldFini)(), void* stackEnd)
{
    crashshim::g_main = main;
    const auto next = reinterpret_cast<int (*)(crashshim::MainFunction, int, char**, void (*)(), void (*)(), void (*)(), void*)>(
        crashshim::NextSymbol("__libc_start_main"));
    return next(crashshim::mainWithCounting, argc, argv, init, fini, rtldFini, stackEnd);
}
