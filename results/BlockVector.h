#pragma once
// A sequence that grows in fixed blocks: appending never moves what is
// already there (so growing the result list never copies it while a reader
// waits for its lock), and clearing keeps some blocks for the next run, so
// that refilling it allocates nothing. Not thread-safe.
#include <cstddef>
#include <memory>
#include <vector>

namespace tarnwick {

template <typename T, std::size_t BlockSize = 4096>
class BlockVector {
public:
    std::size_t size() const { return m_size; }
    bool empty() const { return m_size == 0; }

    T& operator[](std::size_t i) { return m_blocks[i / BlockSize][i % BlockSize]; }
    const T& operator[](std::size_t i) const { return m_blocks[i / BlockSize][i % BlockSize]; }

    void push_back(const T& value)
    {
        if (m_size == m_blocks.size() * BlockSize) m_blocks.push_back(std::make_unique<T[]>(BlockSize));
        (*this)[m_size++] = value;
    }

    // Empties the sequence; keeps at most `keepBlocks` blocks of memory.
    void clear(std::size_t keepBlocks)
    {
        m_size = 0;
        if (m_blocks.size() > keepBlocks) m_blocks.resize(keepBlocks);
    }

private:
    std::vector<std::unique_ptr<T[]>> m_blocks;
    std::size_t m_size = 0;
};

}  // namespace tarnwick
