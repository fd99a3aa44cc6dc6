#include "engine/match/LiteralFinder.h"

#include <cstring>

namespace tarnwick {
namespace {

// Rough frequency of a byte in source code and prose; lower is rarer.
int byteFrequency(unsigned char b)
{
    if (b == ' ' || b == 'e' || b == 't') return 250;
    if (std::strchr("aoinsrlhcdu\n", b) && b != 0) return 200;
    if (b >= 'a' && b <= 'z') return 150;
    if (std::strchr("_(),;.:=*/\t\"'-{}<>", b) && b != 0) return 140;
    if (b >= '0' && b <= '9') return 110;
    if (b >= 'A' && b <= 'Z') return 100;
    if (b >= 0x20 && b < 0x7F) return 80;
    if (b == 0) return 60;
    return 20;  // control bytes and bytes above 0x7E
}

}  // namespace

LiteralFinder::LiteralFinder(std::string_view needle) : m_needle(needle)
{
    int best = 1000;
    for (std::size_t i = 0; i < m_needle.size(); ++i) {
        const int f = byteFrequency(static_cast<unsigned char>(m_needle[i]));
        if (f < best) {
            best = f;
            m_rareIndex = i;
        }
    }
}

std::size_t LiteralFinder::find(const char* text, std::size_t length) const
{
    const std::size_t n = m_needle.size();
    if (n == 0) return 0;
    if (length < n) return npos;
    const char* needle = m_needle.data();
    if (n == 1) {
        const void* hit = std::memchr(text, needle[0], length);
        return hit ? static_cast<std::size_t>(static_cast<const char*>(hit) - text) : npos;
    }
    const char rare = needle[m_rareIndex];
    const char* const last = text + (length - n);  // last possible start of a hit
    const char* scan = text + m_rareIndex;
    const char* const scanEnd = last + m_rareIndex + 1;
    std::size_t misses = 0;
    while (scan < scanEnd) {
        const auto* found = static_cast<const char*>(std::memchr(scan, rare, static_cast<std::size_t>(scanEnd - scan)));
        if (!found) return npos;
        const char* start = found - m_rareIndex;
        if (std::memcmp(start, needle, n) == 0) return static_cast<std::size_t>(start - text);
        scan = found + 1;
        // The rare byte is common here: memmem's two-way search wastes less time.
        if (++misses > 32 && static_cast<std::size_t>(scan - text) < misses * 64) {
            const std::size_t from = static_cast<std::size_t>(start - text) + 1;
            const void* hit = ::memmem(text + from, length - from, needle, n);
            return hit ? static_cast<std::size_t>(static_cast<const char*>(hit) - text) : npos;
        }
    }
    return npos;
}

}  // namespace tarnwick
