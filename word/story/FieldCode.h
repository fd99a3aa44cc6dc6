#pragma once
// What a field's code says about its result.
#include <string_view>

namespace tarnwick::word {

// True for the code of a HYPERLINK field. Its result is the link's own
// display text, which updating the field leaves alone, so it may be edited
// like any text; other fields' results are regenerated from their codes.
bool IsHyperlinkCode(std::u16string_view code);

}  // namespace tarnwick::word
