#pragma once
// The terminal program's sink: prints a run while it runs. Each run log line
// goes to standard output with an LF line end, each error item to standard
// error as "path: reason", both once the entry's outcome has been passed on.
// Standard output is handed to the system in blocks of 64 KiB, and what is
// less than a block goes out when it has waited kOutputDelay (flushStale,
// called by the thread that waits for the run): one system call per block
// instead of one per file, and the reader of a pipe is woken as seldom, yet
// a line never waits long, however long the next file takes. An outcome
// with an error item goes out at once, before the error line. Nothing is
// kept but what a requested export or log file needs, so a run with a
// million hits needs no more memory than one with ten.
//
// When standard output is closed (the reader of a pipe has gone), the
// printer stops printing and calls `onClosed` once, so the run can end.
// The sink's operations are called by one thread at a time (the run's
// outcomes come in order); flushStale by any thread.
#include <atomic>
#include <chrono>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "engine/job/RunSink.h"

namespace tarnwick {

class RunLog;

class CliPrinter final : public RunSink {
public:
    // `keepResults` and `keepLog` (may be null) receive everything as well.
    CliPrinter(int outFd, int errFd, ResultList* keepResults, RunLog* keepLog);
    ~CliPrinter() override;

    void setOnClosed(std::function<void()> onClosed) { m_onClosed = std::move(onClosed); }

    ItemHandle AddFileItem(std::string_view text, ItemKind kind, bool asChild = false) override;
    ItemHandle AddNoteItem(std::string_view text, ItemKind kind, std::int32_t value) override;
    void SetLastHitPosition(std::string_view text) override;
    void AddHitItem(std::int64_t position, std::int64_t matchLength, std::string_view context, std::int32_t highlightStart,
                    ItemKind kind, std::int64_t highlightLength) override;
    void UpdateItem(ItemHandle item, ResultColumn column, UpdateWhat what, std::string_view text, ItemKind kind) override;
    void UpdateCurrentFileItem(ResultColumn column, UpdateWhat what, std::string_view text, ItemKind kind) override;
    void SetItemColumnText(ItemHandle item, std::string_view text, ResultColumn column) override;
    void SetItemDataValue(ItemHandle item, std::int64_t value) override;
    void ScrollToItem(ItemHandle item) override;
    void AppendLog(std::string_view bytes) override;
    void AddCounts(std::int32_t, std::int32_t) override {}
    void EndOfOutcome() override;
    bool wantsHitItems() const override { return m_keepResults != nullptr; }

    // Prints run log text that is not part of a run's outcomes (the header,
    // the summary) and hands everything printed so far to the system.
    void printLog(std::string_view bytes);
    void flush();
    // Hands output that has waited `age` or longer to the system.
    void flushStale(std::chrono::steady_clock::duration age = kOutputDelay);
    bool outputClosed() const { return m_closed.load(std::memory_order_relaxed); }

    static constexpr std::chrono::milliseconds kOutputDelay{10};
    // Error items printed so far: entries the run could not process.
    std::size_t errorCount() const { return m_errorCount; }

private:
    // The items of the current outcome that are not hits: what an error line
    // is made of.
    struct Item {
        ItemHandle handle;
        ItemKind kind;
        std::string text;
        std::string remark;
    };
    Item* find(ItemHandle handle);
    void apply(Item* item, ResultColumn column, UpdateWhat what, std::string_view text, ItemKind kind);
    ItemHandle addItem(ItemHandle handle, std::string_view text, ItemKind kind);
    void printErrors();
    // Moves what was printed to the output that waits for the system, and
    // writes that when `now` or when it makes a block.
    void handOver(bool now);
    void writeWaiting();  // m_waitingMutex held

    int m_outFd;
    int m_errFd;
    ResultList* m_keepResults;
    ItemHandle m_lastHit = kNoItem;  // in m_keepResults
    RunLog* m_keepLog;
    std::function<void()> m_onClosed;
    std::string m_out;  // standard output of the outcome being printed
    std::mutex m_waitingMutex;
    std::string m_waiting;  // guarded by m_waitingMutex: standard output not yet written
    std::chrono::steady_clock::time_point m_waitingSince;  // guarded by m_waitingMutex
    // Of the current outcome: the first m_itemCount; the rest keep their
    // memory, so printing a file allocates nothing once the printer has warmed up.
    std::vector<Item> m_items;
    std::size_t m_itemCount = 0;
    ItemHandle m_nextHandle = 0;
    ItemHandle m_current = kNoItem;
    std::atomic<bool> m_closed{false};
    std::size_t m_errorCount = 0;
};

}  // namespace tarnwick
