#include "engine/parallel/SlotWriter.h"

#include "engine/parallel/OrderedOutcomes.h"
#include "engine/parallel/OutcomeSlot.h"

namespace tarnwick {

SlotWriter::SlotWriter(OrderedOutcomes& outcomes) : m_outcomes(outcomes), m_recordsHits(outcomes.target().wantsHits()) {}

SlotWriter::~SlotWriter() { closeSlot(); }

void SlotWriter::closeSlot()
{
    if (!m_slot) return;
    m_outcomes.close(m_slot);
    m_slot = nullptr;
}

RunSink* SlotWriter::direct()
{
    if (!m_slot) m_slot = m_outcomes.open();
    if (m_slot->state.load(std::memory_order_acquire) != OutcomeSlot::State::Head) return nullptr;
    // Everything before this slot has gone out: so does what it recorded.
    if (m_slot->bufferedBytes() != 0) m_slot->replay(m_outcomes.target());
    return &m_outcomes.target();
}

OutcomeSlot& SlotWriter::recorder()
{
    if (!m_slot->hasRecordMemory()) m_outcomes.lendRecordMemory(*m_slot);
    return *m_slot;
}

void SlotWriter::recorded()
{
    if (m_outcomes.overSlotLimit(*m_slot)) m_outcomes.waitForTurn(*m_slot);
}

// Once the run's sink has answered Stop to any event, through any writer,
// every writer answers Stop: a producer far ahead of the head, or one whose
// own events the sink took, stops as it would for the user's stop.
SinkReply SlotWriter::settle(SinkReply reply)
{
    return reply == SinkReply::Stop || m_outcomes.target().stopAnswered() ? SinkReply::Stop : SinkReply::Continue;
}

namespace {

SinkReply send(RunSink& sink, const EntryStart& entry) { return sink.beginEntry(entry); }
SinkReply send(RunSink& sink, const NameHitEvent& hit) { return sink.nameHit(hit); }
SinkReply send(RunSink& sink, const RunError& error) { return sink.error(error); }
SinkReply send(RunSink& sink, const RunNote& note) { return sink.note(note); }

}  // namespace

template <typename Event>
SinkReply SlotWriter::pass(const Event& event)
{
    if (RunSink* sink = direct()) return settle(send(*sink, event));
    recorder().record(event);
    recorded();
    return settle(SinkReply::Continue);
}

SinkReply SlotWriter::onBeginEntry(const EntryStart& entry) { return pass(entry); }
SinkReply SlotWriter::onNameHit(const NameHitEvent& hit) { return pass(hit); }
SinkReply SlotWriter::onError(const RunError& error) { return pass(error); }
SinkReply SlotWriter::onNote(const RunNote& note) { return pass(note); }

SinkReply SlotWriter::onHit(const HitEvent& hit)
{
    if (RunSink* sink = direct()) return settle(sink->hit(hit));
    if (!m_recordsHits) return settle(SinkReply::Continue);
    recorder().record(hit);
    recorded();
    return settle(SinkReply::Continue);
}

// Counts only: recorded without waiting for the head.
SinkReply SlotWriter::onCommitted(const Commit& commit)
{
    if (RunSink* sink = direct()) return settle(sink->committed(commit));
    recorder().record(commit);
    return settle(SinkReply::Continue);
}

SinkReply SlotWriter::onEndEntry(const EntryEnd& end)
{
    // A recorded outcome is marked when it is passed on: only the head's
    // output needs the mark now, and a recorded end only for its counts.
    const bool counts = end.hits != 0 || end.files != 0;
    if (!counts && (!m_slot || m_slot->state.load(std::memory_order_acquire) != OutcomeSlot::State::Head))
        return settle(SinkReply::Continue);
    if (RunSink* sink = direct()) return settle(sink->endEntry(end));
    recorder().record(end);
    return settle(SinkReply::Continue);
}

}  // namespace tarnwick
