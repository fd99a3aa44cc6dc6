#include "engine/match/LineEnds.h"

#if defined(__x86_64__)
#include <emmintrin.h>
#define TARNWICK_X86 1
#endif

namespace tarnwick {
namespace {

bool isLineEnd(char c) { return c == '\n' || c == '\r'; }

#if TARNWICK_X86
// Bit i set when byte i of the 16 at `p` is CR or LF.
unsigned lineEndMask(const char* p)
{
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    const __m128i hits = _mm_or_si128(_mm_cmpeq_epi8(v, _mm_set1_epi8('\n')), _mm_cmpeq_epi8(v, _mm_set1_epi8('\r')));
    return static_cast<unsigned>(_mm_movemask_epi8(hits));
}
#endif

}  // namespace

std::int64_t FindLineEnd(const char* text, std::int64_t from, std::int64_t to)
{
    std::int64_t i = from;
#if TARNWICK_X86
    for (; i + 16 <= to; i += 16) {
        if (const unsigned mask = lineEndMask(text + i)) return i + __builtin_ctz(mask);
    }
#endif
    for (; i < to; ++i)
        if (isLineEnd(text[i])) return i;
    return to;
}

std::int64_t FindLineStart(const char* text, std::int64_t from, std::int64_t to)
{
    std::int64_t i = to;
#if TARNWICK_X86
    for (; i - 16 >= from; i -= 16) {
        if (const unsigned mask = lineEndMask(text + i - 16)) return i - 16 + (31 - __builtin_clz(mask)) + 1;
    }
#endif
    for (; i > from; --i)
        if (isLineEnd(text[i - 1])) return i;
    return from;
}

}  // namespace tarnwick
