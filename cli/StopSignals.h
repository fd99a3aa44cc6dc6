#pragma once
// Ctrl+C (SIGINT) and SIGTERM stop the running job instead of killing the
// program, so the file being changed stays whole, no temporary file is left
// and the summary is still printed. The handlers only write the signal's
// number to a pipe; a thread of this class reads it and asks for the stop.
// A second signal of the same kind ends the program at once, as usual, but
// only once no job is running: while one stops, its clean-up (removing a
// temporary file, finishing a commit) comes first.
//
// One object per process (the handlers are process-wide); it restores the
// previous handlers when it is destroyed.
#include <atomic>
#include <functional>
#include <mutex>
#include <thread>

namespace tarnwick {

class StopSignals {
public:
    StopSignals();
    ~StopSignals();
    StopSignals(const StopSignals&) = delete;
    StopSignals& operator=(const StopSignals&) = delete;

    // What a signal does; called on the watching thread, at once when a
    // signal came before. Null: nothing (the job has ended).
    void setStop(std::function<void()> stop);
    // The first signal received, 0 when none.
    int received() const { return m_received.load(); }

private:
    void watch();

    int m_pipe[2] = {-1, -1};
    std::atomic<int> m_received{0};
    std::mutex m_mutex;
    std::function<void()> m_stop;  // guarded by m_mutex
    std::thread m_thread;
};

// The exit status of a run ended by `signal`, as a shell reports one: 128 + its number.
inline int ExitStatusForSignal(int signal) { return 128 + signal; }

}  // namespace tarnwick
