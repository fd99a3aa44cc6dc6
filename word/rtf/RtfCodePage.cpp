#include "word/rtf/RtfCodePage.h"

#include <iconv.h>

#include <algorithm>
#include <cerrno>
#include <iterator>
#include <map>
#include <mutex>
#include <string>

namespace tarnwick::word {
namespace {

std::string iconvName(int codePage)
{
    if (codePage == 10000) return "MACINTOSH";
    return "CP" + std::to_string(codePage);
}

enum class Decoded { Character, Incomplete, Invalid };

// Decodes `length` bytes into exactly one UTF-16 unit.
Decoded decode(iconv_t cd, const unsigned char* bytes, std::size_t length, char16_t& out)
{
    char in[2] = {static_cast<char>(bytes[0]), length > 1 ? static_cast<char>(bytes[1]) : '\0'};
    unsigned char buffer[16] = {};
    char* inPtr = in;
    char* outPtr = reinterpret_cast<char*>(buffer);
    std::size_t inLeft = length, outLeft = sizeof buffer;
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    const std::size_t rc = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
    if (rc == static_cast<std::size_t>(-1)) return errno == EINVAL ? Decoded::Incomplete : Decoded::Invalid;
    // Some converters (1258) hold a base letter back for a combining mark.
    iconv(cd, nullptr, nullptr, &outPtr, &outLeft);
    if (sizeof buffer - outLeft != 2) return Decoded::Invalid;
    out = static_cast<char16_t>(buffer[0] | (buffer[1] << 8));
    return Decoded::Character;
}

// Windows code pages a document may name; any other number reads as 1252,
// which also keeps the table cache small whatever a document asks for.
bool isKnownCodePage(int codePage)
{
    static constexpr int kKnown[] = {437, 737, 775, 850, 852,  855,  857,  860,  861,  862,  863,  864,  865,  866,  869,  874,
                                     932, 936, 949, 950, 1250, 1251, 1252, 1253, 1254, 1255, 1256, 1257, 1258, 1361, 10000};
    return std::find(std::begin(kKnown), std::end(kKnown), codePage) != std::end(kKnown);
}

}  // namespace

const RtfCodePage& RtfCodePage::get(int codePage)
{
    if (!isKnownCodePage(codePage)) codePage = 1252;
    static std::mutex mutex;
    static std::map<int, std::unique_ptr<RtfCodePage>> pages;  // guarded by mutex
    std::lock_guard lock(mutex);
    auto& page = pages[codePage];
    if (!page) page.reset(new RtfCodePage(codePage));
    return *page;
}

int RtfCodePage::forCharset(int charset)
{
    switch (charset) {
    case 77: return 10000;
    case 128: return 932;
    case 129: return 949;
    case 130: return 1361;
    case 134: return 936;
    case 136: return 950;
    case 161: return 1253;
    case 162: return 1254;
    case 163: return 1258;
    case 177: return 1255;
    case 178: return 1256;
    case 186: return 1257;
    case 204: return 1251;
    case 222: return 874;
    case 238: return 1250;
    case 254: return 437;
    case 255: return 850;
    default: return -1;
    }
}

bool RtfCodePage::isDoubleByteCharset(int charset)
{
    return charset == 128 || charset == 129 || charset == 130 || charset == 134 || charset == 136;
}

RtfCodePage::RtfCodePage(int number) : m_number(number)
{
    for (int b = 0; b < 256; ++b) m_single[b] = static_cast<char16_t>(b);
    iconv_t cd = iconv_open("UTF-16LE", iconvName(number).c_str());
    if (cd == reinterpret_cast<iconv_t>(-1)) {
        m_number = 1252;
        cd = iconv_open("UTF-16LE", "CP1252");
        if (cd == reinterpret_cast<iconv_t>(-1)) return;  // Latin-1 identity is all that is left
    }
    bool anyLead = false;
    for (int b = 0; b < 256; ++b) {
        const auto byte = static_cast<unsigned char>(b);
        char16_t value = 0;
        switch (decode(cd, &byte, 1, value)) {
        case Decoded::Character: m_single[b] = value; break;
        case Decoded::Incomplete:
            m_lead[b] = true;
            anyLead = true;
            m_single[b] = u'?';
            break;
        case Decoded::Invalid: break;  // Windows shows an undefined byte as U+00hh
        }
    }
    if (anyLead) {
        m_pairs.assign(65536, u'?');
        for (int lead = 0; lead < 256; ++lead) {
            if (!m_lead[lead]) continue;
            for (int trail = 0; trail < 256; ++trail) {
                const unsigned char bytes[2] = {static_cast<unsigned char>(lead), static_cast<unsigned char>(trail)};
                char16_t value = 0;
                if (decode(cd, bytes, 2, value) == Decoded::Character) m_pairs[lead * 256 + trail] = value;
            }
        }
    }
    iconv_close(cd);
}

char16_t RtfCodePage::pair(unsigned char lead, unsigned char trail) const
{
    return m_pairs.empty() ? u'?' : m_pairs[lead * 256 + trail];
}

}  // namespace tarnwick::word
