#pragma once
// One interposed call that may change a file, its name or its durability:
// counted, logged and, at the chosen crash point, answered with SIGKILL
// right before or right after it runs. Driven by the environment, read once
// when main starts (what the loader and static constructors do before is
// never counted):
//   TARNWICK_CRASHPOINT_LOG   append one line per counted call to this file:
//                             INDEX TAB CALL TAB ARGUMENTS TAB RESULT
//   TARNWICK_CRASHPOINT_AT    the index of the call to crash at (1-based)
//   TARNWICK_CRASHPOINT_WHEN  "before" (default) or "after" that call
// Calls on stdout and stderr, on pipes and sockets and on anything under
// /proc or /dev (but /dev/shm, a file system) are passed through uncounted.
//
// Thread-safe: indices come from one atomic counter. When the crash point is
// reached, calls numbered after it never run (their threads wait for the
// kill) and the kill waits until every call numbered before it has returned,
// so the files show exactly the effect of calls 1..K-1 (before) or 1..K
// (after), whatever the threads did meanwhile.
#include <cstddef>
#include <cstdint>

namespace crashshim {

// Resolves the next definition of `name` (libc's), once per call site.
void* NextSymbol(const char* name);

class Call {
public:
    explicit Call(const char* name);

    // Arguments, in the order they are logged. A path relative to `dirFd`
    // (AT_FDCWD: the working folder) is logged absolute.
    Call& path(int dirFd, const char* path);
    Call& fd(int fd);
    Call& text(const char* text);
    Call& number(long long value);
    Call& openFlags(int flags);
    // For a call without a file argument (sync): it concerns every file.
    Call& everyFile();

    // Whether this call is counted: some argument names a file of its own
    // (not stdout/stderr, a pipe, /proc or /dev) and counting has started.
    bool counts() const;

    // Takes the call's index; does not return when the process is to die
    // before it.
    void begin();
    // Logs the result (with errno when it is -1) and dies here when the
    // process is to die after it. Keeps errno.
    void end(long long result);
    // For calls that return an error number instead of setting errno.
    void endWithErrorNumber(int error);

    template <typename Function>
    auto run(Function&& function)
    {
        if (!counts()) return function();
        begin();
        const auto result = function();
        end(static_cast<long long>(result));
        return result;
    }

private:
    void append(const char* text);
    void appendSeparator();
    void finish(const char* result);

    static constexpr std::size_t kLineSize = 2048;
    char m_line[kLineSize];
    std::size_t m_length = 0;
    std::size_t m_arguments = 0;
    std::uint64_t m_index = 0;
    bool m_counts = false;
    bool m_started = false;
};

}  // namespace crashshim

// The libc definition of `name`, typed like its declaration.
#define CRASHSHIM_NEXT(name) reinterpret_cast<decltype(&::name)>(crashshim::NextSymbol(#name))
