#include "engine/match/PreserveCase.h"

#include "engine/match/ReplacementFormat.h"
#include "platform/CodePage.h"
#include "word/story/HitCase.h"

namespace tarnwick {
namespace {

// One byte, one character; case by the code page's own pairs.
struct CodePageLetters {
    using Unit = char;
    const CodePage& codePage;
    static UChar32 next(std::string_view text, std::size_t& i) { return static_cast<unsigned char>(text[i++]); }
    UChar32 upper(UChar32 c) const { return mapped(c, true); }
    UChar32 lower(UChar32 c) const { return mapped(c, false); }
    static void append(UChar32 c, std::string& out) { out.push_back(static_cast<char>(c)); }

    UChar32 mapped(UChar32 c, bool toUpper) const
    {
        char byte = static_cast<char>(c);
        if (toUpper)
            codePage.upperCase(&byte, &byte, 1);
        else
            codePage.foldCase(&byte, &byte, 1);
        return static_cast<unsigned char>(byte);
    }
};

}  // namespace

void AppendCasePreserved(std::string_view hit, std::string_view replacement, std::string& out)
{
    word::AppendHitCase(hit, replacement, word::UnicodeLetters<char>{}, out);
}

void AppendCasePreserved(std::string_view hit, std::string_view replacement, const CodePage& codePage, std::string& out)
{
    if (codePage.isUtf8())
        word::AppendHitCase(hit, replacement, word::UnicodeLetters<char>{}, out);
    else
        word::AppendHitCase(hit, replacement, CodePageLetters{codePage}, out);
}

void AppendCasePreserved(std::u16string_view hit, std::u16string_view replacement, std::u16string& out)
{
    word::AppendHitCaseUtf16(hit, replacement, out);
}

void AppendReplacement(const ReplacementStyle& style, const std::string& replacement, std::string_view hit,
                       const boost::cmatch& match, std::string& scratch, std::string& out)
{
    std::string_view text = replacement;
    if (style.captures) {
        if (!style.preserveCase) {
            AppendFormatted(match, replacement, out);
            return;
        }
        scratch.clear();
        AppendFormatted(match, replacement, scratch);
        text = scratch;
    }
    if (!style.preserveCase)
        out.append(text);
    else if (style.singleByte != nullptr)
        AppendCasePreserved(hit, text, *style.singleByte, out);
    else
        AppendCasePreserved(hit, text, out);
}

}  // namespace tarnwick
