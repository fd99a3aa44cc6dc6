#include "engine/match/Utf16Units.h"

#include "engine/match/DocumentText.h"
#include "platform/SystemError.h"
#include "word/story/Utf16.h"

#include <unicode/uchar.h>

#include <array>
#include <cerrno>
#include <new>

namespace tarnwick {
namespace {

// The folding of every unit outside the surrogates, made once: folding a
// chunk is then one look-up per unit.
const std::array<char16_t, 0x10000>& foldTable()
{
    static const auto table = [] {
        auto t = std::make_unique<std::array<char16_t, 0x10000>>();
        for (std::uint32_t u = 0; u < 0x10000; ++u) {
            const UChar32 folded = u_foldCase(static_cast<UChar32>(u), U_FOLD_CASE_DEFAULT);
            // A folding that would change the number of units is not made,
            // nor one that makes ASCII of another character (the long s, the
            // Kelvin sign): then ASCII text is found without case by its bytes.
            const bool keep = (u >= 0xD800 && u <= 0xDFFF) || folded > 0xFFFF || (folded >= 0xD800 && folded <= 0xDFFF) ||
                (u >= 0x80 && folded < 0x80);
            (*t)[u] = static_cast<char16_t>(keep ? u : static_cast<std::uint32_t>(folded));
        }
        return t;
    }();
    return *table;
}

char16_t unitAt(const char* bytes, std::size_t i, bool bigEndian)
{
    const auto* b = reinterpret_cast<const unsigned char*>(bytes) + 2 * i;
    return static_cast<char16_t>(bigEndian ? (b[0] << 8) | b[1] : (b[1] << 8) | b[0]);
}

}  // namespace

Expected<void> UnitBuffer::reserveDiscarding(std::size_t n)
{
    if (n <= m_capacity) return succeeded();
    m_data.reset();
    m_capacity = 0;
    char16_t* fresh = new (std::nothrow) char16_t[n];
    if (!fresh) return systemFailure(ErrnoCode(ENOMEM));
    m_data.reset(fresh);
    m_capacity = n;
    return succeeded();
}

void DecodeUtf16(const char* bytes, std::size_t count, bool bigEndian, char16_t* out)
{
    for (std::size_t i = 0; i < count; ++i) out[i] = unitAt(bytes, i, bigEndian);
    for (std::size_t i = 0; i < count; ++i) {
        const char16_t u = out[i];
        if (u < 0xD800 || u > 0xDFFF) continue;
        if (IsHighSurrogateUnit(u) && i + 1 < count && IsLowSurrogateUnit(out[i + 1])) {
            ++i;
            continue;
        }
        out[i] = 0xFFFD;
    }
}

void FoldUtf16(const char16_t* in, char16_t* out, std::size_t count)
{
    const auto& table = foldTable();
    for (std::size_t i = 0; i < count; ++i) {
        const char16_t u = in[i];
        if (!IsHighSurrogateUnit(u) || i + 1 >= count || !IsLowSurrogateUnit(in[i + 1])) {
            out[i] = table[u];
            continue;
        }
        const char32_t c = 0x10000 + ((static_cast<char32_t>(u) - 0xD800) << 10) + (in[i + 1] - 0xDC00);
        const auto folded = static_cast<char32_t>(u_foldCase(static_cast<UChar32>(c), U_FOLD_CASE_DEFAULT));
        const char32_t kept = folded >= 0x10000 ? folded : c;
        out[i] = static_cast<char16_t>(0xD800 + ((kept - 0x10000) >> 10));
        out[i + 1] = static_cast<char16_t>(0xDC00 + ((kept - 0x10000) & 0x3FF));
        ++i;
    }
}

void AppendUtf8(const char16_t* units, std::size_t count, std::string& out)
{
    word::AppendUtf8(std::u16string_view(units, count), out);
}

std::u16string ToUtf16Units(std::string_view text, const CodePage& codePage) { return ToDocumentText(text, codePage); }

void AppendUtf16Bytes(std::u16string_view units, bool bigEndian, std::string& out)
{
    for (const char16_t u : units) {
        const auto high = static_cast<char>(u >> 8);
        const auto low = static_cast<char>(u & 0xFF);
        out.push_back(bigEndian ? high : low);
        out.push_back(bigEndian ? low : high);
    }
}

std::string EncodeUtf16(std::string_view text, const CodePage& codePage, bool bigEndian)
{
    std::string bytes;
    AppendUtf16Bytes(ToDocumentText(text, codePage), bigEndian, bytes);
    return bytes;
}

}  // namespace tarnwick
