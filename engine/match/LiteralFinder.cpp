#include "engine/match/LiteralFinder.h"

#include <algorithm>
#include <array>
#include <cstring>

#if defined(__x86_64__)
#include <immintrin.h>
#define TARNWICK_X86 1
#endif

namespace tarnwick {
namespace {

constexpr std::array<std::uint8_t, 256> makeRanks()
{
    std::array<std::uint8_t, 256> r{};
    for (int b = 0; b < 256; ++b) r[b] = 30;  // control bytes and bytes above 0x7E
    for (int b = 0x20; b < 0x7F; ++b) r[b] = 110;
    for (int b = 'A'; b <= 'Z'; ++b) r[b] = 130;
    for (int b = '0'; b <= '9'; ++b) r[b] = 160;
    for (int b = 'a'; b <= 'z'; ++b) r[b] = 180;
    r[0] = 40;
    r['\t'] = 180;
    r['\r'] = 150;
    r['\n'] = 215;
    r[' '] = 255;
    for (unsigned char c : std::string_view("etaoinsr")) r[c] = 240;
    for (unsigned char c : std::string_view("lhcdu")) r[c] = 225;
    for (unsigned char c : std::string_view("mpfgybw")) r[c] = 205;
    for (unsigned char c : std::string_view("_,.();=")) r[c] = 200;
    for (unsigned char c : std::string_view("<>{}/*-:\"'&#")) r[c] = 170;
    for (unsigned char c : std::string_view("vkxqjz")) r[c] = 150;
    for (unsigned char c : std::string_view("TSEACIRNOLDP")) r[c] = 150;
    return r;
}

constexpr std::array<std::uint8_t, 256> kRanks = makeRanks();

constexpr std::array<unsigned char, 256> makeAsciiLower()
{
    std::array<unsigned char, 256> t{};
    for (int b = 0; b < 256; ++b) t[b] = static_cast<unsigned char>((b >= 'A' && b <= 'Z') ? b + 0x20 : b);
    return t;
}

constexpr std::array<unsigned char, 256> kAsciiLower = makeAsciiLower();

bool isLowerLetter(char c) { return c >= 'a' && c <= 'z'; }

}  // namespace

std::uint8_t LiteralFinder::byteRank(unsigned char b) { return kRanks[b]; }

bool LiteralFinder::isFoldedAscii(std::string_view needle)
{
    for (const char c : needle) {
        const auto b = static_cast<unsigned char>(c);
        if (b >= 0x80 || (b >= 'A' && b <= 'Z')) return false;
    }
    return true;
}

LiteralFinder::LiteralFinder(std::string_view needle, Case mode, Text text) : m_needle(needle), m_mode(mode)
{
    const std::size_t n = m_needle.size();
    // Ranks of the folded needle fit caseless finding too: they were made for
    // text in which both cases of a letter count as one.
    auto rank = [&](std::size_t i) {
        const auto b = static_cast<unsigned char>(m_needle[i]);
        return text == Text::Utf16 && b == 0 ? std::uint8_t{255} : kRanks[b];
    };
    if (n >= 2) {
        m_rare1 = 0;
        for (std::size_t i = 1; i < n; ++i)
            if (rank(i) < rank(m_rare1)) m_rare1 = i;
        m_rare2 = m_rare1 == 0 ? 1 : 0;
        for (std::size_t i = 0; i < n; ++i)
            if (i != m_rare1 && rank(i) < rank(m_rare2)) m_rare2 = i;
        // Rare bytes of a needle often sit in a common prefix of the haystack
        // ("BOOST_..."): a third byte far from both keeps false candidates rare.
        std::size_t best = 0;
        m_third = m_rare1;
        for (std::size_t i = 0; i < n; ++i) {
            if (i == m_rare1 || i == m_rare2) continue;
            const std::size_t distance =
                std::min(i > m_rare1 ? i - m_rare1 : m_rare1 - i, i > m_rare2 ? i - m_rare2 : m_rare2 - i);
            if (distance > best) {
                best = distance;
                m_third = i;
            }
        }
    }
    if (isAsciiInsensitive() && n > 0) {
        // (b | 0x20) equals a small letter exactly for that letter and its
        // capital; other bytes are compared as they are.
        m_fold1 = isLowerLetter(m_needle[m_rare1]) ? 0x20 : 0;
        m_fold2 = isLowerLetter(m_needle[m_rare2]) ? 0x20 : 0;
        m_fold3 = isLowerLetter(m_needle[m_third]) ? 0x20 : 0;
    }
}

bool LiteralFinder::matchesAt(const char* text) const
{
    const std::size_t n = m_needle.size();
    if (!isAsciiInsensitive()) return std::memcmp(text, m_needle.data(), n) == 0;
    const auto* t = reinterpret_cast<const unsigned char*>(text);
    const auto* needle = reinterpret_cast<const unsigned char*>(m_needle.data());
    for (std::size_t i = 0; i < n; ++i)
        if (kAsciiLower[t[i]] != needle[i]) return false;
    return true;
}

std::size_t LiteralFinder::findScalar(const char* text, std::size_t length, std::size_t from) const
{
    const std::size_t n = m_needle.size();
    const char b1 = m_needle[m_rare1];
    const char b2 = m_needle[m_rare2];
    for (std::size_t s = from; s + n <= length; ++s) {
        if ((text[s + m_rare1] | m_fold1) == b1 && (text[s + m_rare2] | m_fold2) == b2 && matchesAt(text + s)) return s;
    }
    return npos;
}

std::size_t LiteralFinder::find(const char* text, std::size_t length) const
{
    const std::size_t n = m_needle.size();
    if (n == 0) return 0;
    if (length < n) return npos;
    if (n == 1 && m_fold1 == 0) {
        const void* hit = std::memchr(text, m_needle[0], length);
        return hit ? static_cast<std::size_t>(static_cast<const char*>(hit) - text) : npos;
    }
#if TARNWICK_X86
    static const bool avx2 = __builtin_cpu_supports("avx2");
    if (isAsciiInsensitive()) return avx2 ? findAvx2<true>(text, length) : findSse2<true>(text, length);
    return avx2 ? findAvx2<false>(text, length) : findSse2<false>(text, length);
#else
    return findScalar(text, length, 0);
#endif
}

#if TARNWICK_X86
// Candidate starts s..s+15 whose three chosen bytes all match, as a bit mask.
template <bool Caseless>
std::size_t LiteralFinder::findSse2(const char* text, std::size_t length) const
{
    const std::size_t n = m_needle.size();
    const __m128i b1 = _mm_set1_epi8(m_needle[m_rare1]);
    const __m128i b2 = _mm_set1_epi8(m_needle[m_rare2]);
    const __m128i b3 = _mm_set1_epi8(m_needle[m_third]);
    const __m128i f1 = _mm_set1_epi8(m_fold1);
    const __m128i f2 = _mm_set1_epi8(m_fold2);
    const __m128i f3 = _mm_set1_epi8(m_fold3);
    const std::size_t lastStart = length - n;
    std::size_t s = 0;
    for (; s + 16 <= lastStart + 1; s += 16) {
        __m128i v1 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text + s + m_rare1));
        __m128i v2 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text + s + m_rare2));
        __m128i v3 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text + s + m_third));
        if constexpr (Caseless) {
            v1 = _mm_or_si128(v1, f1);
            v2 = _mm_or_si128(v2, f2);
            v3 = _mm_or_si128(v3, f3);
        }
        const __m128i hits = _mm_and_si128(_mm_and_si128(_mm_cmpeq_epi8(v1, b1), _mm_cmpeq_epi8(v2, b2)), _mm_cmpeq_epi8(v3, b3));
        for (unsigned mask = static_cast<unsigned>(_mm_movemask_epi8(hits)); mask; mask &= mask - 1) {
            const std::size_t candidate = s + static_cast<std::size_t>(__builtin_ctz(mask));
            if (matchesAt(text + candidate)) return candidate;
        }
    }
    return findScalar(text, length, s);
}

template <bool Caseless>
__attribute__((target("avx2"))) std::size_t LiteralFinder::findAvx2(const char* text, std::size_t length) const
{
    const std::size_t n = m_needle.size();
    const __m256i b1 = _mm256_set1_epi8(m_needle[m_rare1]);
    const __m256i b2 = _mm256_set1_epi8(m_needle[m_rare2]);
    const __m256i b3 = _mm256_set1_epi8(m_needle[m_third]);
    const __m256i f1 = _mm256_set1_epi8(m_fold1);
    const __m256i f2 = _mm256_set1_epi8(m_fold2);
    const __m256i f3 = _mm256_set1_epi8(m_fold3);
    const std::size_t lastStart = length - n;
    std::size_t s = 0;
    for (; s + 32 <= lastStart + 1; s += 32) {
        __m256i v1 = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(text + s + m_rare1));
        __m256i v2 = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(text + s + m_rare2));
        __m256i v3 = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(text + s + m_third));
        if constexpr (Caseless) {
            v1 = _mm256_or_si256(v1, f1);
            v2 = _mm256_or_si256(v2, f2);
            v3 = _mm256_or_si256(v3, f3);
        }
        const __m256i hits =
            _mm256_and_si256(_mm256_and_si256(_mm256_cmpeq_epi8(v1, b1), _mm256_cmpeq_epi8(v2, b2)), _mm256_cmpeq_epi8(v3, b3));
        for (unsigned mask = static_cast<unsigned>(_mm256_movemask_epi8(hits)); mask; mask &= mask - 1) {
            const std::size_t candidate = s + static_cast<std::size_t>(__builtin_ctz(mask));
            if (matchesAt(text + candidate)) return candidate;
        }
    }
    return findScalar(text, length, s);
}
#endif

}  // namespace tarnwick
