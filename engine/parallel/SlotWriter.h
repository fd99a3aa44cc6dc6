#pragma once
// The sink one thread of a parallel search writes to: the outcome slot of
// the entry it is working on. While the slot waits for its turn, everything
// is recorded in it; once it is the head, what was recorded goes out first
// and the rest is written straight to the run's sink.
//
// Without a slot, the first write opens one at the end of the order: so the
// walk's own writer gets a slot for what the walk itself produces (name
// hits, documents, errors) and keeps it until it hands the next file to the
// pool. One thread at a time.
#include "engine/job/RunSink.h"

namespace tarnwick {

class OrderedOutcomes;
class OutcomeSlot;

class SlotWriter final : public RunSink {
public:
    explicit SlotWriter(OrderedOutcomes& outcomes);
    ~SlotWriter() override;

    // The slot of the entry now being worked on.
    void setSlot(OutcomeSlot* slot) { m_slot = slot; }
    // Closes the current slot, if any: its outcome is complete.
    void closeSlot();

    bool wantsHits() const override { return m_recordsHits; }

protected:
    SinkReply onBeginEntry(const EntryStart& entry) override;
    SinkReply onHit(const HitEvent& hit) override;
    SinkReply onNameHit(const NameHitEvent& hit) override;
    SinkReply onError(const RunError& error) override;
    SinkReply onNote(const RunNote& note) override;
    SinkReply onCommitted(const Commit& commit) override;
    SinkReply onEndEntry(const EntryEnd& end) override;

private:
    // The sink to write to directly, or null when the slot records.
    RunSink* direct();
    // The slot, with memory to record in.
    OutcomeSlot& recorder();
    // After a record: a producer far ahead of the head waits for its turn.
    void recorded();
    // The answer to an event: Stop once the run's sink has answered Stop.
    SinkReply settle(SinkReply reply);
    // Straight to the target when the slot is the head, else recorded.
    template <typename Event>
    SinkReply pass(const Event& event);

    OrderedOutcomes& m_outcomes;
    const bool m_recordsHits;
    OutcomeSlot* m_slot = nullptr;
};

}  // namespace tarnwick
