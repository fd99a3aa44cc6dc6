#pragma once
// The sinks a run's events end in: the result list with the run log text
// (what the desktop program shows and logs), and wrappers that pass every
// event on to another sink (one of them keeps the worker's counters). Each
// forwards to objects it does not own.
#include <string>

#include "engine/job/RunSink.h"
#include "results/HitBatch.h"
#include "results/ResultList.h"

namespace tarnwick {

class RunLog;
struct RunCounters;

// Maps events to the items of the result list (its calling patterns) and to
// the run log lines; the changes of a replace in marked results go to the
// items they name, with no line of their own. An error item and a name hit ask the view to bring them
// into sight; whether it does is the view's decision (auto-scroll).
// With `batchHits`, hits reach the list in batches (HitBatch): at the end of
// each entry, before anything else reaches the list, when a batch is full,
// and at the end of the run. Without, each hit is in the list when the event
// returns.
class StoreSink final : public RunSink {
public:
    StoreSink(ResultList& results, RunLog& runLog, bool batchHits = false)
        : m_results(results), m_runLog(&runLog), m_batchHits(batchHits)
    {
    }
    // The list alone, no run log text.
    explicit StoreSink(ResultList& results) : m_results(results), m_runLog(nullptr), m_batchHits(false) {}
    ~StoreSink() override;

    // Puts the hits gathered so far into the list.
    void flushHits();

protected:
    SinkReply onBeginEntry(const EntryStart& entry) override;
    SinkReply onHit(const HitEvent& hit) override;
    SinkReply onNameHit(const NameHitEvent& hit) override;
    SinkReply onError(const RunError& error) override;
    SinkReply onNote(const RunNote& note) override;
    SinkReply onCommitted(const Commit&) override { return SinkReply::Continue; }
    SinkReply onMarkedChange(const MarkedChange& change) override;
    SinkReply onEndEntry(const EntryEnd&) override;
    SinkReply onEndOfRun() override;

private:
    // Enough to take the lock rarely, few enough that a file with very many
    // hits still shows them in steps.
    static constexpr std::size_t kBatchHits = 512;

    template <typename Event>
    void log(const Event& event);

    ResultList& m_results;
    RunLog* m_runLog;
    const bool m_batchHits;
    HitBatch m_hits;
    ItemHandle m_entry = kNoItem;  // the item of the entry begun last
    ItemHandle m_lastHit = kNoItem;
    std::string m_line;  // reused for every run log line
};

// Passes every event on to `inner`; a subclass looks at what it needs on the way.
class ForwardingSink : public RunSink {
public:
    explicit ForwardingSink(RunSink& inner) : m_inner(inner) {}
    bool wantsHits() const override { return m_inner.wantsHits(); }

protected:
    SinkReply onBeginEntry(const EntryStart& entry) override { return m_inner.beginEntry(entry); }
    SinkReply onHit(const HitEvent& hit) override { return m_inner.hit(hit); }
    SinkReply onNameHit(const NameHitEvent& hit) override { return m_inner.nameHit(hit); }
    SinkReply onError(const RunError& error) override { return m_inner.error(error); }
    SinkReply onNote(const RunNote& note) override { return m_inner.note(note); }
    SinkReply onCommitted(const Commit& commit) override { return m_inner.committed(commit); }
    SinkReply onMarkedChange(const MarkedChange& change) override { return m_inner.markedChange(change); }
    SinkReply onEndEntry(const EntryEnd& end) override { return m_inner.endEntry(end); }
    SinkReply onEndOfRun() override { return m_inner.endOfRun(); }

private:
    RunSink& m_inner;
};

// Adds to the worker's counters on the way: the counts an entry's end
// carries, what a commit changed, and the errors.
class CountingSink final : public ForwardingSink {
public:
    CountingSink(RunSink& inner, RunCounters& counters) : ForwardingSink(inner), m_counters(counters) {}

protected:
    SinkReply onError(const RunError& error) override;
    SinkReply onCommitted(const Commit& commit) override;
    SinkReply onEndEntry(const EntryEnd& end) override;

private:
    void add(std::int32_t hits, std::int32_t files);

    RunCounters& m_counters;
};

}  // namespace tarnwick
