#pragma once
// Where the results of a run go, as events (RunEvents.h) in the order the
// engine makes them. The engine calls the public functions; a sink
// implements the protected ones.
//
// Implementations: the result list with the run log text (StoreSink), a
// recording of one entry's outcome that is passed on later in walk order
// (OutcomeSlot, through SlotWriter), the terminal program's printer and the
// replace preview. A sink is used by one thread at a time.
//
// The changes a replace in marked results makes to the items it read go to
// the run's own sink (never through a slot); a sink that shows no items
// ignores them.
//
// Every event may answer SinkReply::Stop (the terminal's reader has gone,
// say); the sink remembers it, and the run context that writes to it then
// reports a stop at its next poll point, so no call site checks answers.
#include <atomic>

#include "engine/job/RunEvents.h"

namespace tarnwick {

class RunSink {
public:
    virtual ~RunSink() = default;

    SinkReply beginEntry(const EntryStart& entry) { return heed(onBeginEntry(entry)); }
    SinkReply hit(const HitEvent& hit) { return heed(onHit(hit)); }
    SinkReply nameHit(const NameHitEvent& hit) { return heed(onNameHit(hit)); }
    // Errors come from RunReports only.
    SinkReply error(const RunError& error) { return heed(onError(error)); }
    SinkReply note(const RunNote& note) { return heed(onNote(note)); }
    SinkReply committed(const Commit& commit) { return heed(onCommitted(commit)); }
    SinkReply markedChange(const MarkedChange& change) { return heed(onMarkedChange(change)); }
    SinkReply endEntry(const EntryEnd& end = {}) { return heed(onEndEntry(end)); }
    SinkReply endOfRun() { return heed(onEndOfRun()); }

    // Some event has answered Stop.
    bool stopAnswered() const { return m_stopAnswered.load(std::memory_order_relaxed); }
    // False when hit events are of no use to the sink, so that they need not be recorded for it.
    virtual bool wantsHits() const { return true; }

protected:
    virtual SinkReply onBeginEntry(const EntryStart& entry) = 0;
    virtual SinkReply onHit(const HitEvent& hit) = 0;
    virtual SinkReply onNameHit(const NameHitEvent& hit) = 0;
    virtual SinkReply onError(const RunError& error) = 0;
    virtual SinkReply onNote(const RunNote& note) = 0;
    virtual SinkReply onCommitted(const Commit& commit) = 0;
    virtual SinkReply onMarkedChange(const MarkedChange&) { return SinkReply::Continue; }
    virtual SinkReply onEndEntry(const EntryEnd& end) = 0;
    virtual SinkReply onEndOfRun() { return SinkReply::Continue; }

private:
    SinkReply heed(SinkReply reply)
    {
        if (reply == SinkReply::Stop) m_stopAnswered.store(true, std::memory_order_relaxed);
        return reply;
    }

    // Read by the threads that write through wrappers of this sink.
    std::atomic<bool> m_stopAnswered{false};
};

}  // namespace tarnwick
