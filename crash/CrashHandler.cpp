#include "crash/CrashHandler.h"

#include <cxxabi.h>
#include <execinfo.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/types.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <iterator>
#include <memory>
#include <typeinfo>

#include "crash/ExclusiveFile.h"
#include "crash/ReportFiles.h"
#include "crash/SignalNames.h"
#include "platform/ThreadStart.h"

extern char** environ;

namespace tarnwick::crash {
namespace {

constexpr int kFatalSignals[] = {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT, SIGSYS};
constexpr std::size_t kSignalCount = std::size(kFatalSignals);
constexpr std::size_t kPathCapacity = 4096;
// backtrace() and the start of the reporter need far more than MINSIGSTKSZ.
constexpr std::size_t kAlternateStackSize = 256 * 1024;
constexpr int kMaxFrames = 64;
// The reporter normally answers at once; a hung one must not keep the
// crashed process (and the files it holds) alive for ever.
constexpr int kReporterWaitMs = 30'000;
// In the reporter, the ready pipe is moved to this descriptor and every
// other inherited descriptor above stderr is closed, so locks the crashed
// program held on the user's files end with it.
constexpr int kReadyFdInReporter = 3;

struct HandlerState {
    // "<tempDir>/<base>-" from the installation; the handler completes the
    // name when it creates the file (empty when it could not).
    char tracePath[kPathCapacity];
    std::size_t tracePrefixLength = 0;
    char reporterPath[kPathCapacity];
    char programPath[kPathCapacity];
    bool hasReporter = false;
    // Filled in by the handler; the reporter's argv points into them.
    char pidText[24];
    char signalText[24];
    char codeText[24];
    char addressText[24];
    char readyFdText[8];
    char* argv[16];
    // The exception that nothing caught, when that is why the program aborts.
    char uncaughtException[1024];
    struct sigaction previousActions[kSignalCount];
    stack_t previousStack;
    std::unique_ptr<char[]> alternateStack;
};

HandlerState g_state;
std::atomic<bool> g_installed{false};
// The thread that handles the crash; a second fault on it means the handler
// itself failed.
std::atomic<pid_t> g_handlingThread{0};

static_assert(std::atomic<pid_t>::is_always_lock_free, "used inside a signal handler");

bool CopyPath(char (&target)[kPathCapacity], const std::string& source)
{
    if (source.size() >= kPathCapacity) return false;
    std::memcpy(target, source.c_str(), source.size() + 1);
    return true;
}

// --- Async-signal-safe helpers: no allocation, no locks, no stdio. ---

std::size_t TextLength(const char* text)
{
    std::size_t length = 0;
    while (text[length] != '\0') ++length;
    return length;
}

void WriteAll(int fd, const char* text, std::size_t length)
{
    while (length > 0) {
        const ssize_t written = ::write(fd, text, length);
        if (written < 0) {
            if (errno == EINTR) continue;
            return;
        }
        text += written;
        length -= static_cast<std::size_t>(written);
    }
}

void WriteText(int fd, const char* text) { WriteAll(fd, text, TextLength(text)); }

void FormatDecimal(char* out, std::size_t capacity, long long value)
{
    char digits[24];
    std::size_t count = 0;
    unsigned long long magnitude =
        value < 0 ? 0ull - static_cast<unsigned long long>(value) : static_cast<unsigned long long>(value);
    do {
        digits[count++] = static_cast<char>('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0 && count < sizeof digits);
    std::size_t at = 0;
    if (value < 0 && at + 1 < capacity) out[at++] = '-';
    while (count > 0 && at + 1 < capacity) out[at++] = digits[--count];
    out[at] = '\0';
}

void FormatHex(char* out, std::size_t capacity, std::uintptr_t value)
{
    char digits[2 * sizeof value];
    std::size_t count = 0;
    do {
        digits[count++] = "0123456789abcdef"[value & 0xf];
        value >>= 4;
    } while (value != 0 && count < sizeof digits);
    std::size_t at = 0;
    for (const char c : {'0', 'x'})
        if (at + 1 < capacity) out[at++] = c;
    while (count > 0 && at + 1 < capacity) out[at++] = digits[--count];
    out[at] = '\0';
}

void WriteLine(int fd, const char* label, const char* value, const char* detail = nullptr)
{
    WriteText(fd, label);
    WriteText(fd, value);
    if (detail) {
        WriteText(fd, " (");
        WriteText(fd, detail);
        WriteText(fd, ")");
    }
    WriteText(fd, "\n");
}

void WriteTrace(int signal, const siginfo_t* info)
{
    // The directory may be shared: a new file of a name nobody could know before.
    const int fd = CreateExclusiveFile(g_state.tracePath, kPathCapacity, g_state.tracePrefixLength, kTraceExtension);
    if (fd < 0) {
        g_state.tracePath[0] = '\0';  // the reporter is told of no trace
        return;
    }
    WriteLine(fd, "Program: ", g_state.programPath);
    WriteLine(fd, "Process: ", g_state.pidText);
    WriteLine(fd, "Signal: ", g_state.signalText, SignalName(signal));
    WriteLine(fd, "Code: ", g_state.codeText, SignalCodeName(signal, info ? info->si_code : 0));
    WriteLine(fd, "Address: ", g_state.addressText);
    if (g_state.uncaughtException[0] != '\0') WriteLine(fd, "Exception: ", g_state.uncaughtException);
    WriteText(fd, "\nStack:\n");
    void* frames[kMaxFrames];
    const int count = ::backtrace(frames, kMaxFrames);
    ::backtrace_symbols_fd(frames, count, fd);
    ::close(fd);
}

// Starts the reporter and waits until it closes its end of the ready pipe
// (or ends, or the wait runs out).
void RunReporter()
{
    if (!g_state.hasReporter) return;
    int ready[2];
    if (::pipe(ready) != 0) return;
    // _Fork, unlike fork, runs no fork handlers: safe in a signal handler.
    const pid_t child = ::_Fork();
    if (child == 0) {
        if (ready[0] != kReadyFdInReporter) ::close(ready[0]);
        if (ready[1] != kReadyFdInReporter) {
            if (::dup2(ready[1], kReadyFdInReporter) < 0) ::_exit(127);
            ::close(ready[1]);
        }
        ::close_range(kReadyFdInReporter + 1, ~0u, 0);
        sigset_t none;
        ::sigemptyset(&none);
        ::sigprocmask(SIG_SETMASK, &none, nullptr);
        // A session of its own: the reporter outlives a terminal's hang-up.
        ::setsid();
        ::execve(g_state.reporterPath, g_state.argv, environ);
        ::_exit(127);
    }
    ::close(ready[1]);
    if (child > 0) {
        struct pollfd wait {
            ready[0], POLLIN, 0
        };
        char ignored[16];
        for (;;) {
            const int polled = ::poll(&wait, 1, kReporterWaitMs);
            if (polled < 0 && errno == EINTR) continue;
            if (polled <= 0) break;
            const ssize_t got = ::read(ready[0], ignored, sizeof ignored);
            if (got < 0 && errno == EINTR) continue;
            if (got <= 0) break;
        }
    }
    ::close(ready[0]);
}

// Lets the signal do what it would have done without the handler: pending
// now, delivered with the default action when the handler returns (a fault
// would repeat on return anyway).
void EndBySignal(int signal)
{
    struct sigaction defaultAction {};
    defaultAction.sa_handler = SIG_DFL;
    ::sigemptyset(&defaultAction.sa_mask);
    ::sigaction(signal, &defaultAction, nullptr);
    ::raise(signal);
}

void OnFatalSignal(int signal, siginfo_t* info, void*)
{
    const int savedErrno = errno;
    const pid_t thread = ::gettid();
    pid_t expected = 0;
    if (!g_handlingThread.compare_exchange_strong(expected, thread)) {
        if (expected == thread) {
            // The handler itself failed: end at once.
            EndBySignal(signal);
            return;
        }
        // Another thread is reporting; its signal ends the process.
        for (;;) ::pause();
    }

    FormatDecimal(g_state.pidText, sizeof g_state.pidText, ::getpid());
    FormatDecimal(g_state.signalText, sizeof g_state.signalText, signal);
    FormatDecimal(g_state.codeText, sizeof g_state.codeText, info ? info->si_code : 0);
    // si_addr means the faulting address only for signals the hardware raised.
    const bool hasAddress = info && info->si_code > 0 && signal != SIGABRT && signal != SIGSYS;
    FormatHex(g_state.addressText, sizeof g_state.addressText, hasAddress ? reinterpret_cast<std::uintptr_t>(info->si_addr) : 0);

    WriteTrace(signal, info);
    RunReporter();
    errno = savedErrno;
    EndBySignal(signal);
}

std::terminate_handler g_previousTerminate = nullptr;

void CopyBounded(char* target, std::size_t capacity, std::size_t& at, const char* text)
{
    while (text && *text && at + 1 < capacity) target[at++] = *text++;
    target[at] = '\0';
}

// An exception nothing caught ends in std::terminate and then in SIGABRT;
// not yet in a signal handler, this may allocate and notes the exception's
// type and text for the trace.
[[noreturn]] void OnTerminate()
{
    char* const note = g_state.uncaughtException;
    const std::size_t capacity = sizeof g_state.uncaughtException;
    std::size_t at = 0;
    if (const std::type_info* type = abi::__cxa_current_exception_type()) {
        int status = 0;
        char* readable = abi::__cxa_demangle(type->name(), nullptr, nullptr, &status);
        CopyBounded(note, capacity, at, status == 0 && readable ? readable : type->name());
        std::free(readable);
        try {
            throw;
        } catch (const std::exception& exception) {
            CopyBounded(note, capacity, at, ": ");
            CopyBounded(note, capacity, at, exception.what());
        } catch (...) {
        }
    }
    if (g_previousTerminate) g_previousTerminate();
    std::abort();
}

void PrepareReporterArguments()
{
    FormatDecimal(g_state.readyFdText, sizeof g_state.readyFdText, kReadyFdInReporter);
    static char options[][16] = {"--pid", "--signal", "--code", "--address", "--trace", "--program", "--ready-fd"};
    char** arg = g_state.argv;
    *arg++ = g_state.reporterPath;
    *arg++ = options[0];
    *arg++ = g_state.pidText;
    *arg++ = options[1];
    *arg++ = g_state.signalText;
    *arg++ = options[2];
    *arg++ = g_state.codeText;
    *arg++ = options[3];
    *arg++ = g_state.addressText;
    *arg++ = options[4];
    *arg++ = g_state.tracePath;
    *arg++ = options[5];
    *arg++ = g_state.programPath;
    *arg++ = options[6];
    *arg++ = g_state.readyFdText;
    *arg = nullptr;
}

// Other threads get a signal stack of their own when they start (through
// the thread-start hook), freed when the thread ends: a stack overflow on a
// worker thread reaches the handler too.
class ThreadSignalStack {
public:
    ThreadSignalStack() : m_memory(std::make_unique<char[]>(kAlternateStackSize))
    {
        stack_t stack{};
        stack.ss_sp = m_memory.get();
        stack.ss_size = kAlternateStackSize;
        m_active = ::sigaltstack(&stack, nullptr) == 0;
    }
    ~ThreadSignalStack()
    {
        if (!m_active) return;
        stack_t off{};
        off.ss_flags = SS_DISABLE;
        ::sigaltstack(&off, nullptr);
    }
    ThreadSignalStack(const ThreadSignalStack&) = delete;
    ThreadSignalStack& operator=(const ThreadSignalStack&) = delete;

private:
    std::unique_ptr<char[]> m_memory;
    bool m_active = false;
};

void GiveThreadASignalStack() { thread_local const ThreadSignalStack stack; }

}  // namespace

CrashHandler::CrashHandler(CrashHandlerSetup setup) : m_setup(std::move(setup))
{
    if (g_installed.exchange(true)) return;
    const std::string programPath = RunningProgramPath();
    const std::string tracePrefix = ReportFilePrefix(TempDirectory(), ProgramBaseName(programPath));
    if (!CopyPath(g_state.programPath, programPath) || !CopyPath(g_state.tracePath, tracePrefix) ||
        !CopyPath(g_state.reporterPath, m_setup.reporterPath)) {
        g_installed = false;
        return;
    }
    g_state.tracePrefixLength = tracePrefix.size();
    g_state.hasReporter = !m_setup.reporterPath.empty();
    PrepareReporterArguments();
    g_handlingThread = 0;

    // The first backtrace() loads the unwinder library; that must not happen
    // inside the handler.
    void* frame[1];
    ::backtrace(frame, 1);

    g_state.alternateStack = std::make_unique<char[]>(kAlternateStackSize);
    stack_t stack{};
    stack.ss_sp = g_state.alternateStack.get();
    stack.ss_size = kAlternateStackSize;
    ::sigaltstack(&stack, &g_state.previousStack);

    struct sigaction action {};
    action.sa_sigaction = &OnFatalSignal;
    action.sa_flags = SA_SIGINFO | SA_ONSTACK;
    ::sigemptyset(&action.sa_mask);
    for (std::size_t i = 0; i < kSignalCount; ++i) ::sigaction(kFatalSignals[i], &action, &g_state.previousActions[i]);
    g_state.uncaughtException[0] = '\0';
    g_previousTerminate = std::set_terminate(&OnTerminate);
    SetThreadStartHook(&GiveThreadASignalStack);
    m_installed = true;
}

CrashHandler::~CrashHandler()
{
    if (!m_installed) return;
    SetThreadStartHook(nullptr);
    std::set_terminate(g_previousTerminate);
    for (std::size_t i = 0; i < kSignalCount; ++i) ::sigaction(kFatalSignals[i], &g_state.previousActions[i], nullptr);
    ::sigaltstack(&g_state.previousStack, nullptr);
    g_state.alternateStack.reset();
    g_installed = false;
}

}  // namespace tarnwick::crash
