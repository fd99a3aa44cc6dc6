#pragma once
// The outcomes of a run's entries in walk order. Several threads produce
// them at once, each into its own slot; every outcome reaches the run's sink
// only after all outcomes before it, so the sink sees exactly what a run on
// one thread would have given it.
//
// The oldest outcome not yet passed on is the head: its producer writes
// straight through to the sink (so a large file's hits appear as they are
// found and need no memory); later ones are recorded and passed on when
// their turn comes. Memory stays bounded: open() waits while too much is
// recorded, and a producer whose own record grows too large waits for its
// turn. After a stop, recorded outcomes are dropped: the sink then holds a
// prefix of what the whole run would have given.
//
// Thread-safe: open() by the walk, close()/waitForTurn() by the producers.
#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "engine/parallel/AdaptiveMutex.h"
#include "engine/parallel/OutcomeSlot.h"

namespace tarnwick {

class OrderedOutcomes {
public:
    struct Limits {
        std::size_t maxOpen = 4096;  // outcomes not yet passed on
        std::size_t maxRecordedBytes = 8u << 20;  // recorded in closed outcomes
        std::size_t maxSlotBytes = 1u << 20;  // recorded by one producer before it waits for its turn
    };

    OrderedOutcomes(RunSink& target, const std::atomic<bool>& stopFlag, Limits limits);
    OrderedOutcomes(RunSink& target, const std::atomic<bool>& stopFlag) : OrderedOutcomes(target, stopFlag, Limits{}) {}
    ~OrderedOutcomes();
    OrderedOutcomes(const OrderedOutcomes&) = delete;
    OrderedOutcomes& operator=(const OrderedOutcomes&) = delete;

    // A slot at the end of the order. Waits while the limits are reached
    // (not after a stop). The slot belongs to the caller until close().
    OutcomeSlot* open();
    // The producer has finished with `slot`: it is passed on as soon as its
    // turn comes (at once when it is the head).
    void close(OutcomeSlot* slot);
    // For a producer whose slot has recorded more than maxSlotBytes: waits
    // until the slot is the head or a stop was requested.
    void waitForTurn(OutcomeSlot& slot);
    bool overSlotLimit(const OutcomeSlot& slot) const { return slot.bufferedBytes() > m_limits.maxSlotBytes; }
    // Before a producer first records into `slot`: gives it memory to record in.
    void lendRecordMemory(OutcomeSlot& slot);
    // Waits until every slot has been closed and passed on or dropped.
    void drain();

    RunSink& target() { return m_target; }
    // The user's stop, or the target's answer Stop to an event: recorded
    // outcomes are dropped either way, so what the target holds is a prefix.
    bool stopped() const { return m_stopFlag.load(std::memory_order_relaxed) || m_target.stopAnswered(); }

private:
    void commitReady(std::unique_lock<AdaptiveMutex>& lock);
    void finishHead(OutcomeSlot& slot);
    bool full() const;
    bool roomAgain() const;
    void recycle(OutcomeSlot* slot);

    RunSink& m_target;
    const std::atomic<bool>& m_stopFlag;
    const Limits m_limits;
    AdaptiveMutex m_mutex;
    std::condition_variable_any m_room;  // the walk waits for room, or the end of a drain
    std::condition_variable_any m_turn;  // producers wait for their turn
    std::deque<OutcomeSlot*> m_order;  // guarded by m_mutex: open and closed, not yet passed on
    std::vector<std::unique_ptr<OutcomeSlot>> m_slots;  // guarded by m_mutex: every slot ever made
    std::vector<OutcomeSlot*> m_free;  // guarded by m_mutex
    std::vector<std::string> m_recordMemory;  // guarded by m_mutex: taken back from slots passed on
    std::size_t m_recordedBytes = 0;  // guarded by m_mutex
    bool m_committing = false;  // guarded by m_mutex: a thread is passing outcomes on
    bool m_waitingForRoom = false;  // guarded by m_mutex
    bool m_draining = false;  // guarded by m_mutex
    int m_waitingForTurn = 0;  // guarded by m_mutex
};

}  // namespace tarnwick
