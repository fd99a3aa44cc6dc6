#include "engine/parallel/SlotWriter.h"

#include "engine/parallel/OrderedOutcomes.h"
#include "engine/parallel/OutcomeSlot.h"

namespace tarnwick {

SlotWriter::SlotWriter(OrderedOutcomes& outcomes) : m_outcomes(outcomes), m_recordsHits(outcomes.target().wantsHitItems()) {}

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

ItemHandle SlotWriter::AddFileItem(std::string_view text, ItemKind kind, bool asChild)
{
    if (RunSink* sink = direct()) return sink->AddFileItem(text, kind, asChild);
    const ItemHandle handle = recorder().recordFileItem(text, kind, asChild);
    recorded();
    return handle;
}

ItemHandle SlotWriter::AddNoteItem(std::string_view text, ItemKind kind, std::int32_t value)
{
    if (RunSink* sink = direct()) return sink->AddNoteItem(text, kind, value);
    const ItemHandle handle = recorder().recordNoteItem(text, kind, value);
    recorded();
    return handle;
}

void SlotWriter::AddHitItem(std::int64_t position, std::int64_t matchLength, std::string_view context,
                            std::int32_t highlightStart, ItemKind kind, std::int64_t highlightLength)
{
    if (RunSink* sink = direct()) return sink->AddHitItem(position, matchLength, context, highlightStart, kind, highlightLength);
    if (!m_recordsHits) return;
    recorder().recordHitItem(position, matchLength, context, highlightStart, kind, highlightLength);
    recorded();
}

void SlotWriter::SetLastHitPosition(std::string_view text)
{
    if (RunSink* sink = direct()) return sink->SetLastHitPosition(text);
    if (!m_recordsHits) return;
    recorder().recordLastHitPosition(text);
    recorded();
}

void SlotWriter::UpdateItem(ItemHandle item, ResultColumn column, UpdateWhat what, std::string_view text, ItemKind kind)
{
    if (RunSink* sink = direct()) return sink->UpdateItem(m_slot->targetHandle(item), column, what, text, kind);
    recorder().recordUpdateItem(item, column, what, text, kind);
    recorded();
}

void SlotWriter::UpdateCurrentFileItem(ResultColumn column, UpdateWhat what, std::string_view text, ItemKind kind)
{
    if (RunSink* sink = direct()) return sink->UpdateCurrentFileItem(column, what, text, kind);
    recorder().recordUpdateCurrentFileItem(column, what, text, kind);
    recorded();
}

void SlotWriter::SetItemColumnText(ItemHandle item, std::string_view text, ResultColumn column)
{
    if (RunSink* sink = direct()) return sink->SetItemColumnText(m_slot->targetHandle(item), text, column);
    recorder().recordColumnText(item, text, column);
    recorded();
}

void SlotWriter::SetItemDataValue(ItemHandle item, std::int64_t value)
{
    if (RunSink* sink = direct()) return sink->SetItemDataValue(m_slot->targetHandle(item), value);
    recorder().recordDataValue(item, value);
    recorded();
}

void SlotWriter::ScrollToItem(ItemHandle item)
{
    if (RunSink* sink = direct()) return sink->ScrollToItem(m_slot->targetHandle(item));
    recorder().recordScroll(item);
    recorded();
}

void SlotWriter::AppendLog(std::string_view bytes)
{
    if (RunSink* sink = direct()) return sink->AppendLog(bytes);
    recorder().recordLog(bytes);
    recorded();
}

void SlotWriter::AddCounts(std::int32_t hits, std::int32_t files)
{
    if (RunSink* sink = direct()) return sink->AddCounts(hits, files);
    recorder().recordCounts(hits, files);
}

void SlotWriter::EndOfOutcome()
{
    // A recorded outcome is marked when it is passed on; only the head's
    // output needs the mark now.
    if (m_slot && m_slot->state.load(std::memory_order_acquire) == OutcomeSlot::State::Head) direct()->EndOfOutcome();
}

}  // namespace tarnwick
