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

namespace {

SinkReply send(RunSink& sink, const EntryStart& entry) { return sink.beginEntry(entry); }
SinkReply send(RunSink& sink, const NameHitEvent& hit) { return sink.nameHit(hit); }
SinkReply send(RunSink& sink, const RunError& error) { return sink.error(error); }
SinkReply send(RunSink& sink, const RunNote& note) { return sink.note(note); }

}  // namespace

template <typename Event>
SinkReply SlotWriter::pass(const Event& event)
{
    if (RunSink* sink = direct()) return send(*sink, event);
    recorder().record(event);
    recorded();
    return SinkReply::Continue;
}

SinkReply SlotWriter::onBeginEntry(const EntryStart& entry) { return pass(entry); }
SinkReply SlotWriter::onNameHit(const NameHitEvent& hit) { return pass(hit); }
SinkReply SlotWriter::onError(const RunError& error) { return pass(error); }
SinkReply SlotWriter::onNote(const RunNote& note) { return pass(note); }

SinkReply SlotWriter::onHit(const HitEvent& hit)
{
    if (RunSink* sink = direct()) return sink->hit(hit);
    if (!m_recordsHits) return SinkReply::Continue;
    recorder().record(hit);
    recorded();
    return SinkReply::Continue;
}

// Counts only: recorded without waiting for the head.
SinkReply SlotWriter::onCommitted(const Commit& commit)
{
    if (RunSink* sink = direct()) return sink->committed(commit);
    recorder().record(commit);
    return SinkReply::Continue;
}

SinkReply SlotWriter::onEndEntry(const EntryEnd& end)
{
    // A recorded outcome is marked when it is passed on: only the head's
    // output needs the mark now, and a recorded end only for its counts.
    const bool counts = end.hits != 0 || end.files != 0;
    if (!counts && (!m_slot || m_slot->state.load(std::memory_order_acquire) != OutcomeSlot::State::Head))
        return SinkReply::Continue;
    if (RunSink* sink = direct()) return sink->endEntry(end);
    recorder().record(end);
    return SinkReply::Continue;
}

}  // namespace tarnwick
