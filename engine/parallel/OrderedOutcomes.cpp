#include "engine/parallel/OrderedOutcomes.h"

#include <chrono>

namespace tarnwick {
namespace {

// Waits poll the stop flag this often, so that a stop is never held up.
constexpr auto kStopPoll = std::chrono::milliseconds(10);

// Record memory kept for reuse: at most this many pieces, none larger than
// kKeptSlotBytes (a piece that once held a large outcome is given back).
constexpr std::size_t kKeptSlotBytes = 64 * 1024;
constexpr std::size_t kKeptRecordMemories = 64;

}  // namespace

OrderedOutcomes::OrderedOutcomes(RunSink& target, const std::atomic<bool>& stopFlag, Limits limits)
    : m_target(target), m_stopFlag(stopFlag), m_limits(limits)
{
}

OrderedOutcomes::~OrderedOutcomes() = default;

bool OrderedOutcomes::full() const { return m_order.size() >= m_limits.maxOpen || m_recordedBytes >= m_limits.maxRecordedBytes; }

bool OrderedOutcomes::roomAgain() const
{
    // Half way down, so that the walk is woken once per many outcomes, not
    // for every one.
    return m_order.size() <= m_limits.maxOpen / 2 && m_recordedBytes <= m_limits.maxRecordedBytes / 2;
}

OutcomeSlot* OrderedOutcomes::open()
{
    std::unique_lock lock(m_mutex);
    if (full()) {
        m_waitingForRoom = true;
        while (!stopped() && !roomAgain()) m_room.wait_for(lock, kStopPoll);
        m_waitingForRoom = false;
    }
    OutcomeSlot* slot;
    if (!m_free.empty()) {
        slot = m_free.back();
        m_free.pop_back();
    } else {
        m_slots.push_back(std::make_unique<OutcomeSlot>());
        slot = m_slots.back().get();
    }
    slot->reset();
    // Nothing before it: its producer may write straight through.
    if (m_order.empty() && !stopped()) slot->state.store(OutcomeSlot::State::Head, std::memory_order_release);
    m_order.push_back(slot);
    return slot;
}

void OrderedOutcomes::close(OutcomeSlot* slot)
{
    // Only the producer moves its slot on from Head, so this needs no lock.
    // Once Done, the slot may be passed on and reused by others at any
    // moment: it is not touched again.
    if (slot->state.load(std::memory_order_acquire) == OutcomeSlot::State::Head) {
        finishHead(*slot);
        std::unique_lock lock(m_mutex);
        commitReady(lock);
        return;
    }
    // The move from Buffering races with commitReady making it the head.
    std::unique_lock lock(m_mutex);
    OutcomeSlot::State expected = OutcomeSlot::State::Buffering;
    if (slot->state.compare_exchange_strong(expected, OutcomeSlot::State::Closed, std::memory_order_acq_rel)) {
        m_recordedBytes += slot->bufferedBytes();
    } else {
        lock.unlock();
        finishHead(*slot);
        lock.lock();
    }
    commitReady(lock);
}

void OrderedOutcomes::finishHead(OutcomeSlot& slot)
{
    // What the head recorded before it learnt that it was the head goes out
    // now, from the only thread that writes to the sink at this moment.
    if (!stopped()) {
        slot.replay(m_target);
        m_target.endEntry();
    }
    slot.state.store(OutcomeSlot::State::Done, std::memory_order_release);
}

void OrderedOutcomes::commitReady(std::unique_lock<AdaptiveMutex>& lock)
{
    // One thread passes outcomes on at a time; a thread that finds another
    // at it leaves its closed slot to that one, which looks again before it
    // stops.
    if (m_committing) return;
    m_committing = true;
    while (!m_order.empty()) {
        OutcomeSlot* slot = m_order.front();
        OutcomeSlot::State state = slot->state.load(std::memory_order_acquire);
        if (state == OutcomeSlot::State::Buffering) {
            // After a stop nothing becomes the head: what comes after an
            // outcome that was dropped must not reach the sink.
            if (stopped()) break;
            if (slot->state.compare_exchange_strong(state, OutcomeSlot::State::Head, std::memory_order_acq_rel)) {
                if (m_waitingForTurn > 0) m_turn.notify_all();
                break;  // its producer takes over from here
            }
            // Closed meanwhile: `state` says so now.
        }
        if (state == OutcomeSlot::State::Head) break;
        if (state == OutcomeSlot::State::Closed) {
            const std::size_t bytes = slot->bufferedBytes();
            lock.unlock();
            if (!stopped()) {
                slot->replay(m_target);
                m_target.endEntry();
            }
            lock.lock();
            m_recordedBytes -= bytes;
        }
        m_order.pop_front();
        recycle(slot);
    }
    m_committing = false;
    if ((m_waitingForRoom && roomAgain()) || (m_draining && m_order.empty())) m_room.notify_all();
}

void OrderedOutcomes::recycle(OutcomeSlot* slot)
{
    std::string memory = slot->takeRecordMemory();
    if (memory.capacity() >= OutcomeSlot::kRecordMemory && memory.capacity() <= kKeptSlotBytes &&
        m_recordMemory.size() < kKeptRecordMemories)
        m_recordMemory.push_back(std::move(memory));
    slot->reset();
    m_free.push_back(slot);
}

void OrderedOutcomes::lendRecordMemory(OutcomeSlot& slot)
{
    std::string memory;
    {
        std::lock_guard lock(m_mutex);
        if (!m_recordMemory.empty()) {
            memory = std::move(m_recordMemory.back());
            m_recordMemory.pop_back();
        }
    }
    slot.lendRecordMemory(std::move(memory));
}

void OrderedOutcomes::waitForTurn(OutcomeSlot& slot)
{
    std::unique_lock lock(m_mutex);
    ++m_waitingForTurn;
    while (!stopped() && slot.state.load(std::memory_order_acquire) != OutcomeSlot::State::Head) m_turn.wait_for(lock, kStopPoll);
    --m_waitingForTurn;
}

void OrderedOutcomes::drain()
{
    std::unique_lock lock(m_mutex);
    m_draining = true;
    commitReady(lock);
    while (!m_order.empty() || m_committing) {
        m_room.wait_for(lock, kStopPoll);
        commitReady(lock);
    }
    m_draining = false;
}

}  // namespace tarnwick
