#include "word/story/FieldCode.h"

namespace tarnwick::word {

bool IsHyperlinkCode(std::u16string_view code)
{
    std::size_t i = 0;
    while (i < code.size() && code[i] == u' ') ++i;
    constexpr std::string_view kWord = "HYPERLINK";
    for (const char wanted : kWord) {
        if (i >= code.size()) return false;
        char16_t c = code[i++];
        if (c >= u'a' && c <= u'z') c = static_cast<char16_t>(c - 32);
        if (c != static_cast<char16_t>(wanted)) return false;
    }
    return i == code.size() || code[i] == u' ';
}

}  // namespace tarnwick::word
