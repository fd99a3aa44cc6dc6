#pragma once
// The bytes one archive searched inside may inflate to in all, nested
// archives included (platform/ExpansionLimits.h): every level of the walk
// takes from the same budget, and once it is spent every level stops.
#include <cstdint>

#include "platform/ExpansionLimits.h"

namespace tarnwick::inside {

class ExpansionBudget {
public:
    explicit ExpansionBudget(std::uint64_t limit = kMaxArchiveExpandedTotal) : m_limit(limit) {}

    std::uint64_t limit() const { return m_limit; }
    bool isSpent() const { return m_spent; }
    bool canTake(std::uint64_t bytes) const { return !m_spent && bytes <= m_limit - m_used; }
    // Counts `bytes`; false, and spent from then on, when they pass the limit.
    bool take(std::uint64_t bytes)
    {
        if (!canTake(bytes)) {
            m_spent = true;
            return false;
        }
        m_used += bytes;
        return true;
    }

private:
    std::uint64_t m_limit;
    std::uint64_t m_used = 0;
    bool m_spent = false;
};

}  // namespace tarnwick::inside
