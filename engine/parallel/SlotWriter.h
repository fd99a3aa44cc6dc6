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

    ItemHandle AddFileItem(std::string_view text, ItemKind kind, bool asChild = false) override;
    ItemHandle AddNoteItem(std::string_view text, ItemKind kind, std::int32_t value) override;
    void AddHitItem(std::int64_t position, std::int64_t matchLength, std::string_view context, std::int32_t highlightStart,
                    ItemKind kind, std::int64_t highlightLength) override;
    void SetLastHitPosition(std::string_view text) override;
    void UpdateItem(ItemHandle item, ResultColumn column, UpdateWhat what, std::string_view text, ItemKind kind) override;
    void UpdateCurrentFileItem(ResultColumn column, UpdateWhat what, std::string_view text, ItemKind kind) override;
    void SetItemColumnText(ItemHandle item, std::string_view text, ResultColumn column) override;
    void SetItemDataValue(ItemHandle item, std::int64_t value) override;
    void ScrollToItem(ItemHandle item) override;
    void AppendLog(std::string_view bytes) override;
    void AddCounts(std::int32_t hits, std::int32_t files) override;
    void EndOfOutcome() override;

private:
    // The sink to write to directly, or null when the slot records.
    RunSink* direct();
    // The slot, with memory to record in.
    OutcomeSlot& recorder();
    // After a record: a producer far ahead of the head waits for its turn.
    void recorded();

    OrderedOutcomes& m_outcomes;
    const bool m_recordsHits;
    OutcomeSlot* m_slot = nullptr;
};

}  // namespace tarnwick
