#pragma once
// What one entry adds to a search's counters, passed on once with the end of
// the entry when the object goes: also when a stop or an exception cuts the
// search short, so that the hits listed so far stay counted.
#include <cstdint>

#include "engine/job/RunSink.h"

namespace tarnwick {

class EntryCounts {
public:
    explicit EntryCounts(RunSink& sink) : m_sink(sink) {}
    ~EntryCounts()
    {
        if (m_hits > 0 || m_files > 0) m_sink.endEntry({m_hits, m_files});
    }
    EntryCounts(const EntryCounts&) = delete;
    EntryCounts& operator=(const EntryCounts&) = delete;

    void addHit() { ++m_hits; }
    // The entry counts as a file with hits.
    void addFile() { m_files = 1; }

private:
    RunSink& m_sink;
    std::int32_t m_hits = 0;
    std::int32_t m_files = 0;
};

}  // namespace tarnwick
