// Small-letter pairs of the scripts written with one or two UTF-8 bytes.
// Only pairs whose two letters have the same UTF-8 length are listed, so that
// folding never moves a byte.
#include "CodePage.h"

namespace tarnwick {
namespace {

bool inRange(std::uint32_t cp, std::uint32_t first, std::uint32_t last) { return cp >= first && cp <= last; }

// Pairs laid out as capital, small, capital, small, ... with the capital at
// an even (evenCapital) or odd code point.
std::uint32_t alternating(std::uint32_t cp, bool evenCapital) { return ((cp % 2 == 0) == evenCapital) ? cp + 1 : cp; }

}  // namespace

std::uint32_t LowerTwoByteCodePoint(std::uint32_t cp)
{
    if (cp < 0x80) return (cp >= 'A' && cp <= 'Z') ? cp + 0x20 : cp;
    if (inRange(cp, 0xC0, 0xDE) && cp != 0xD7) return cp + 0x20;
    if (inRange(cp, 0x100, 0x12F) || inRange(cp, 0x132, 0x137) || inRange(cp, 0x14A, 0x177)) return alternating(cp, true);
    if (inRange(cp, 0x139, 0x148) || inRange(cp, 0x179, 0x17E)) return alternating(cp, false);
    if (cp == 0x178) return 0xFF;
    if (inRange(cp, 0x200, 0x21F) || inRange(cp, 0x222, 0x233)) return alternating(cp, true);
    // Greek
    if (cp == 0x386) return 0x3AC;
    if (inRange(cp, 0x388, 0x38A)) return cp + 37;
    if (cp == 0x38C) return 0x3CC;
    if (inRange(cp, 0x38E, 0x38F)) return cp + 63;
    if (inRange(cp, 0x391, 0x3A1) || inRange(cp, 0x3A3, 0x3AB)) return cp + 0x20;
    // Cyrillic
    if (inRange(cp, 0x400, 0x40F)) return cp + 0x50;
    if (inRange(cp, 0x410, 0x42F)) return cp + 0x20;
    if (inRange(cp, 0x460, 0x481) || inRange(cp, 0x48A, 0x4BF) || inRange(cp, 0x4D0, 0x52F)) return alternating(cp, true);
    if (cp == 0x4C0) return 0x4CF;
    if (inRange(cp, 0x4C1, 0x4CE)) return alternating(cp, false);
    // Armenian
    if (inRange(cp, 0x531, 0x556)) return cp + 0x30;
    return cp;
}

}  // namespace tarnwick
