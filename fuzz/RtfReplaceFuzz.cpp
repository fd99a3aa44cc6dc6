// Replaces a random span of a random RTF document by random text: a replace
// either refuses (ServerError, document unchanged) or yields a document that
// reads back as the old story with the span replaced and the same group
// balance; edits that would not read back are refused when their bytes are
// written, and the document is given up.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdlib>
#include <string>

#include "word/automation/Automation.h"
#include "word/rtf/RtfDocument.h"
#include "word/rtf/RtfEditor.h"

using namespace tarnwick::word;

namespace {

std::u16string randomText(FuzzedDataProvider& input)
{
    static const char16_t kPieces[] = u"ab {}\\\t\v\r\n\u00e4\u20ac\u00a0\x1e\x1f\xd83d\xde00";
    std::u16string text;
    const std::size_t length = input.ConsumeIntegralInRange<std::size_t>(0, 6);
    for (std::size_t i = 0; i < length; ++i)
        text += kPieces[input.ConsumeIntegralInRange<std::size_t>(0, sizeof kPieces / sizeof kPieces[0] - 2)];
    return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzedDataProvider input(data, size);
    const int edits = input.ConsumeIntegralInRange<int>(1, 3);
    std::u16string texts[3];
    std::uint16_t positions[3][2] = {};
    for (int i = 0; i < edits; ++i) {
        texts[i] = randomText(input);
        positions[i][0] = input.ConsumeIntegral<std::uint16_t>();
        positions[i][1] = input.ConsumeIntegral<std::uint16_t>();
    }
    std::unique_ptr<RtfDocument> document;
    try {
        document = RtfDocument::fromBytes(input.ConsumeRemainingBytesAsString());
    } catch (const ServerError&) {
        return 0;
    }
    for (int i = 0; i < edits; ++i) {
        const std::string before = document->bytes();
        const std::u16string visibleBefore = document->mainStory().visibleText();
        const std::int64_t count = document->mainStory().size();
        const std::int64_t start = positions[i][0] % (count + 1);
        const std::int64_t end = start + positions[i][1] % (count + 1 - start);
        try {
            document->replace(start, end, texts[i]);
        } catch (const ServerError&) {
            if (document->bytes() != before || document->mainStory().visibleText() != visibleBefore) std::abort();
            continue;
        }
        std::string after;
        try {
            after = document->bytes();
        } catch (const ServerError&) {
            // The edits did not read back as intended: the document takes no
            // more edits and is never saved.
            return 0;
        }
        if (!RtfGroupsNestAlike(before, after)) std::abort();
    }
    return 0;
}
