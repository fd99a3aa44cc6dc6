#pragma once
// A growable byte buffer whose contents are not initialised on growth and
// whose memory is kept between uses, so a worker reads every file into the
// same storage. Not thread-safe.
#include <cstddef>
#include <cstring>
#include <memory>
#include <new>

#include <cerrno>

#include "Expected.h"
#include "SystemError.h"

namespace tarnwick {

class ByteBuffer {
public:
    char* data() { return m_data.get(); }
    const char* data() const { return m_data.get(); }
    std::size_t capacity() const { return m_capacity; }

    // Makes room for `n` bytes; existing contents are not kept. Fails with
    // ENOMEM when the memory cannot be had (the buffer is then empty).
    [[nodiscard]] Expected<void> reserveDiscarding(std::size_t n)
    {
        if (n <= m_capacity) return succeeded();
        m_data.reset();
        m_capacity = 0;
        char* fresh = new (std::nothrow) char[n];
        if (!fresh) return systemFailure(ErrnoCode(ENOMEM));
        m_data.reset(fresh);
        m_capacity = n;
        return succeeded();
    }

    // Makes room for `n` bytes, keeping the first `keep` of the contents.
    // Fails with ENOMEM, the contents left as they were.
    [[nodiscard]] Expected<void> reserveKeeping(std::size_t n, std::size_t keep)
    {
        if (n <= m_capacity) return succeeded();
        char* fresh = new (std::nothrow) char[n];
        if (!fresh) return systemFailure(ErrnoCode(ENOMEM));
        if (keep > 0) std::memcpy(fresh, m_data.get(), keep);
        m_data.reset(fresh);
        m_capacity = n;
        return succeeded();
    }

    // Returns the memory when it has grown beyond `limit` bytes, so that one
    // huge file does not pin its memory for the rest of the run.
    void shrinkAbove(std::size_t limit)
    {
        if (m_capacity > limit) {
            m_data.reset();
            m_capacity = 0;
        }
    }

private:
    std::unique_ptr<char[]> m_data;
    std::size_t m_capacity = 0;
};

}  // namespace tarnwick
