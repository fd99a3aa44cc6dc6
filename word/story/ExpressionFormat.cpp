#include "word/story/ExpressionFormat.h"

namespace tarnwick::word {

FormatCodePoints ToFormatCodePoints(std::u16string_view format)
{
    const auto* first = reinterpret_cast<const UChar*>(format.data());
    const UChar* last = first + format.size();
    FormatCodePoints points;
    points.reserve(format.size());
    for (CodePointIterator<const UChar*> it(first, first, last), end(last, first, last); it != end; ++it)
        points.push_back(static_cast<UChar32>(*it));
    return points;
}

}  // namespace tarnwick::word
