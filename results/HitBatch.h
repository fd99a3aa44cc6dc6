#pragma once
// Hits gathered on their way into the result list, so that the list takes
// its lock once for many of them instead of once per hit: the user
// interface reads the list while a run fills it, and a lock handed back and
// forth a million times costs both sides. Reused: nothing is allocated per
// hit once it has grown. Not thread-safe.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "results/ResultList.h"

namespace tarnwick {

class HitBatch {
public:
    // The arguments of ResultList::AddHitItem, the context kept in one buffer.
    struct Hit {
        std::int64_t position = 0;
        std::int64_t matchLength = 0;
        std::int64_t highlightLength = 0;
        std::size_t contextOffset = 0;
        std::size_t contextLength = 0;
        std::int32_t highlightStart = 0;
        ItemKind kind = ItemKind::None;
    };

    void add(std::int64_t position, std::int64_t matchLength, std::string_view context, std::int32_t highlightStart,
             ItemKind kind, std::int64_t highlightLength)
    {
        m_hits.push_back({position, matchLength, highlightLength, m_contexts.size(), context.size(), highlightStart, kind});
        m_contexts.append(context);
    }
    void clear()
    {
        m_hits.clear();
        m_contexts.clear();
    }
    bool empty() const { return m_hits.empty(); }
    std::size_t size() const { return m_hits.size(); }
    std::size_t contextBytes() const { return m_contexts.size(); }

    const std::vector<Hit>& hits() const { return m_hits; }
    std::string_view context(const Hit& hit) const
    {
        return std::string_view(m_contexts).substr(hit.contextOffset, hit.contextLength);
    }

private:
    std::vector<Hit> m_hits;
    std::string m_contexts;
};

}  // namespace tarnwick
