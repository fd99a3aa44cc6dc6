#pragma once
// A sequence kept in one container with a movable hole (the gap) in it.
// Writing where the gap is costs only the elements written; moving the gap
// costs the elements it passes. A story edited from its start towards its
// end (as a replace-all does) thus moves each element about once in all,
// where a plain vector would move the whole rest of the story per edit.
//
// Elements before the gap are "in front", the others "behind". A caller
// that stores values relative to something that changes with edits (see
// StoryText) is told which elements changed sides whenever the gap moves.
// The container type must hold trivially copyable elements and offer
// data(), size() and resize(). Plain data; not thread-safe.
#include <algorithm>
#include <cstddef>
#include <cstring>
#include <type_traits>
#include <utility>

namespace tarnwick::word {

template <typename Container>
class GapBuffer {
public:
    using Value = typename Container::value_type;
    static_assert(std::is_trivially_copyable_v<Value>);

    // Receives the elements that crossed the gap, at their new place:
    // `toFront` true when they now lie in front of it.
    static void keepValues(Value*, std::size_t, bool) {}

    std::size_t size() const { return m_data.size() - m_gapLength; }
    std::size_t gapStart() const { return m_gapStart; }
    std::size_t gapLength() const { return m_gapLength; }
    bool isInFront(std::size_t index) const { return index < m_gapStart; }
    // The stored value of element `index` (as it is stored on its side).
    const Value& operator[](std::size_t index) const { return m_data[storageIndex(index)]; }

    // Takes `data` as the whole sequence, every element in front.
    void assign(Container data)
    {
        m_data = std::move(data);
        m_gapStart = m_data.size();
        m_gapLength = 0;
    }

    // The sequence as one container, every element in front.
    template <typename OnMoved>
    Container& close(OnMoved onMoved)
    {
        const std::size_t count = size();
        moveGap(count, onMoved);
        m_data.resize(count);
        m_gapLength = 0;
        return m_data;
    }

    // The elements from `index` to the end as one stretch of memory, moving
    // the gap out of the way (to `index` or to the end, whichever is nearer).
    template <typename OnMoved>
    const Value* tail(std::size_t index, OnMoved onMoved)
    {
        if (m_gapLength > 0 && m_gapStart > index) {
            if (m_gapStart - index <= size() - m_gapStart)
                moveGap(index, onMoved);
            else
                moveGap(size(), onMoved);
        }
        return m_data.data() + storageIndex(index);
    }

    // Moves the gap to start at `index` (at most size()).
    template <typename OnMoved>
    void moveGap(std::size_t index, OnMoved onMoved)
    {
        Value* data = m_data.data();
        if (index < m_gapStart) {
            const std::size_t count = m_gapStart - index;
            if (m_gapLength > 0) std::memmove(data + index + m_gapLength, data + index, count * sizeof(Value));
            m_gapStart = index;
            onMoved(data + index + m_gapLength, count, false);
        } else if (index > m_gapStart) {
            const std::size_t count = index - m_gapStart;
            if (m_gapLength > 0) std::memmove(data + m_gapStart, data + m_gapStart + m_gapLength, count * sizeof(Value));
            onMoved(data + m_gapStart, count, true);
            m_gapStart = index;
        }
    }

    // Replaces the elements [from, to) by `count` new ones, which the caller
    // writes, in front of the gap, through the returned pointer before the
    // buffer is used again.
    template <typename OnMoved>
    Value* replace(std::size_t from, std::size_t to, std::size_t count, OnMoved onMoved)
    {
        moveGap(to, onMoved);
        // [from, to) now lies right in front of the gap: dropping it widens the gap.
        m_gapLength += m_gapStart - from;
        m_gapStart = from;
        reserveGap(count);
        Value* out = m_data.data() + m_gapStart;
        m_gapStart += count;
        m_gapLength -= count;
        return out;
    }

private:
    std::size_t storageIndex(std::size_t index) const { return index < m_gapStart ? index : index + m_gapLength; }

    // Widens the gap to at least `count`, with room to spare so that a run
    // of edits that each grow the story a little seldom comes back here.
    void reserveGap(std::size_t count)
    {
        if (m_gapLength >= count) return;
        const std::size_t extra = count - m_gapLength + size() / 16 + 256;
        const std::size_t oldSize = m_data.size();
        const std::size_t behind = oldSize - m_gapStart - m_gapLength;
        m_data.resize(oldSize + extra);
        Value* data = m_data.data();
        // The elements behind the gap keep their values; they only move to the new end.
        std::memmove(data + m_gapStart + m_gapLength + extra, data + m_gapStart + m_gapLength, behind * sizeof(Value));
        m_gapLength += extra;
    }

    Container m_data;
    std::size_t m_gapStart = 0;
    std::size_t m_gapLength = 0;
};

}  // namespace tarnwick::word
