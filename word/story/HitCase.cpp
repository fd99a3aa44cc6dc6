#include "word/story/HitCase.h"

namespace tarnwick::word {

void AppendHitCaseUtf16(std::u16string_view hit, std::u16string_view replacement, std::u16string& out)
{
    AppendHitCase(hit, replacement, UnicodeLetters<char16_t>{}, out);
}

}  // namespace tarnwick::word
