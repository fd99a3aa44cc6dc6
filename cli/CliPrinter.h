#pragma once
// The terminal program's sink: prints a run's events while it runs. Each
// event's run log line goes to standard output with an LF line end, each
// error to standard error as "path: reason", both once the entry has ended.
// Standard output is handed to the system in blocks of 64 KiB, and what is
// less than a block goes out when it has waited kOutputDelay (flushStale,
// called by the thread that waits for the run): one system call per block
// instead of one per file, and the reader of a pipe is woken as seldom, yet
// a line never waits long, however long the next file takes. An entry
// with an error goes out at once, before the error line. Nothing is kept
// but what a requested export or log file needs, so a run with a million
// hits needs no more memory than one with ten.
//
// When standard output is closed (the reader of a pipe has gone), the
// printer stops printing, answers every event with Stop and calls
// `onClosed` once, so the run can end. The sink's events come from one
// thread at a time (the run's outcomes come in order); flushStale from any
// thread.
#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "engine/job/StoreSink.h"

namespace tarnwick {

class RunLog;

class CliPrinter final : public RunSink {
public:
    // `keepResults` and `keepLog` (may be null) receive everything as well.
    CliPrinter(int outFd, int errFd, ResultList* keepResults, RunLog* keepLog);
    ~CliPrinter() override;

    void setOnClosed(std::function<void()> onClosed) { m_onClosed = std::move(onClosed); }

    // Prints run log text that is not part of a run's outcomes (the header,
    // the summary) and hands everything printed so far to the system.
    void printLog(std::string_view bytes);
    void flush();
    // Hands output that has waited `age` or longer to the system.
    void flushStale(std::chrono::steady_clock::duration age = kOutputDelay);
    bool outputClosed() const { return m_closed.load(std::memory_order_relaxed); }

    static constexpr std::chrono::milliseconds kOutputDelay{10};
    // Errors printed so far: entries the run could not process.
    std::size_t errorCount() const { return m_errorCount; }

protected:
    SinkReply onBeginEntry(const EntryStart& entry) override;
    SinkReply onHit(const HitEvent& hit) override;
    SinkReply onNameHit(const NameHitEvent& hit) override;
    SinkReply onError(const RunError& error) override;
    SinkReply onNote(const RunNote& note) override;
    SinkReply onCommitted(const Commit&) override { return reply(); }
    SinkReply onEndEntry(const EntryEnd&) override;
    SinkReply onEndOfRun() override;

private:
    // The entries of the current outcome that begun or became errors: what
    // the error lines are made of, in the order the list shows them.
    struct Item {
        bool error = false;
        std::string text;
        std::string remark;
    };
    Item& addItem(std::string_view text);
    SinkReply reply() const { return outputClosed() ? SinkReply::Stop : SinkReply::Continue; }
    // Prints the run log line `event` has, if any, and keeps it for the log file.
    template <typename Event>
    void printLine(const Event& event);
    void printErrors();
    // Moves what was printed to the output that waits for the system, and
    // writes that when `now` or when it makes a block.
    void handOver(bool now);
    void writeWaiting();  // m_waitingMutex held

    int m_outFd;
    int m_errFd;
    std::optional<StoreSink> m_keepResults;
    RunLog* m_keepLog;
    std::function<void()> m_onClosed;
    std::string m_line;  // the run log line being printed
    std::string m_out;  // standard output of the outcome being printed
    std::mutex m_waitingMutex;
    std::string m_waiting;  // guarded by m_waitingMutex: standard output not yet written
    std::chrono::steady_clock::time_point m_waitingSince;  // guarded by m_waitingMutex
    // Of the current outcome: the first m_itemCount; the rest keep their
    // memory, so printing a file allocates nothing once the printer has warmed up.
    std::vector<Item> m_items;
    std::size_t m_itemCount = 0;
    std::size_t m_current = SIZE_MAX;  // the entry begun last, in m_items
    std::atomic<bool> m_closed{false};
    std::size_t m_errorCount = 0;
};

}  // namespace tarnwick
