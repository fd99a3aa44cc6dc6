#pragma once
// What one directory entry (or a run of entries handled by the walk itself)
// produced, recorded while earlier entries are still being searched, and
// passed on to the run's sink when its turn in walk order comes.
//
// The events are kept as compact records in one byte buffer (no
// allocation per hit once the buffer has grown). Owned by OrderedOutcomes
// and reused for many entries. The producer thread records and replays;
// `state` is the only member other threads touch.
#include <atomic>
#include <cstdint>
#include <string>
#include <string_view>

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

    // Ready for a new outcome: empty buffer.
    void reset();

    void record(const EntryStart& entry);
    void record(const HitEvent& hit);
    void record(const NameHitEvent& hit);
    void record(const RunError& error);
    void record(const RunNote& note);
    void record(const Commit& commit);
    void record(const EntryEnd& end);

    // Passes everything recorded so far on to `target`, in order, and
    // empties the buffer.
    void replay(RunSink& target);

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
    std::string m_bytes;
};

}  // namespace tarnwick
