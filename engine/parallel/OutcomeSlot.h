#pragma once
// What one directory entry (or a run of entries handled by the walk itself)
// produced, recorded while earlier entries are still being searched, and
// passed on to the run's sink when its turn in walk order comes.
//
// The operations of RunSink are kept as compact records in one byte buffer
// (no allocation per hit once the buffer has grown); items it creates get
// local handles, which replay() maps to the target's handles. Owned by
// OrderedOutcomes and reused for many entries. The producer thread records
// and replays; `state` is the only member other threads touch.
#include <atomic>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "engine/job/RunSink.h"

namespace tarnwick {

class OutcomeSlot {
public:
    enum class State : std::uint8_t {
        Buffering,  // records what it is given
        Head,  // every earlier outcome has been passed on: its producer writes straight to the target
        Closed,  // its producer has finished; waits to be passed on
        Done,  // passed on (or dropped after a stop)
    };

    // Ready for a new outcome: empty buffer, no handles.
    void reset();

    ItemHandle recordFileItem(std::string_view text, ItemKind kind, bool asChild);
    ItemHandle recordNoteItem(std::string_view text, ItemKind kind, std::int32_t value);
    void recordHitItem(std::int64_t position, std::int64_t matchLength, std::string_view context, std::int32_t highlightStart,
                       ItemKind kind, std::int64_t highlightLength);
    void recordLastHitPosition(std::string_view text);
    void recordUpdateItem(ItemHandle item, ResultColumn column, UpdateWhat what, std::string_view text, ItemKind kind);
    void recordUpdateCurrentFileItem(ResultColumn column, UpdateWhat what, std::string_view text, ItemKind kind);
    void recordColumnText(ItemHandle item, std::string_view text, ResultColumn column);
    void recordDataValue(ItemHandle item, std::int64_t value);
    void recordScroll(ItemHandle item);
    void recordLog(std::string_view bytes);
    void recordCounts(std::int32_t hits, std::int32_t files);

    // Passes everything recorded so far on to `target`, in order, and empties
    // the buffer; the handles stay mapped for what follows.
    void replay(RunSink& target);
    // The target's handle for a handle this slot gave out (others unchanged).
    ItemHandle targetHandle(ItemHandle handle) const;

    std::size_t bufferedBytes() const { return m_bytes.size(); }
    // The memory records are kept in. A slot has none of its own: of the
    // thousands waiting in the order only the few being recorded into need
    // any, so OrderedOutcomes lends memory that has already grown, and takes
    // it back when the slot is passed on.
    bool hasRecordMemory() const { return m_bytes.capacity() >= kRecordMemory; }
    void lendRecordMemory(std::string&& memory);
    std::string takeRecordMemory();
    static constexpr std::size_t kRecordMemory = 4096;

    std::atomic<State> state{State::Buffering};

    // The file a pool thread is to search for this slot, and where its name
    // begins in the path. Kept with the slot so that its memory is reused.
    std::string path;
    std::size_t nameOffset = 0;

private:
    template <typename T>
    void put(T value);
    void putText(std::string_view text);
    ItemHandle newLocalHandle();

    std::string m_bytes;
    std::vector<ItemHandle> m_targetHandles;  // by local index; filled by replay()
    std::uint32_t m_localCount = 0;
};

}  // namespace tarnwick
