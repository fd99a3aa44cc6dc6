// The stretches the preview marks inside a changed line.
#include "ui/replacepreview/ChangedStretches.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tarnwick::ui {
namespace {

std::vector<std::string> pieces(std::string_view line, const std::vector<ByteRange>& ranges)
{
    std::vector<std::string> out;
    for (const ByteRange& range : ranges) out.emplace_back(line.substr(range.begin, range.end - range.begin));
    return out;
}

// Several replacements in one line each get their stretch; a shared word
// ending narrows a stretch, one shared letter does not split a word, and
// no stretch ends inside a two-byte character (ö and ü share their lead byte).
TEST(ChangedStretches, MarksEachChangedWordNarrowedToWholeCharacters)
{
    const std::string before = "x Kassenbeleg, Größe: Beleg.", after = "x Kassenquittung, Grüße: Quittung.";
    const ChangedStretches stretches = FindChangedStretches(before, after);
    EXPECT_EQ(pieces(before, stretches.before), (std::vector<std::string>{"beleg", "ö", "Beleg"}));
    EXPECT_EQ(pieces(after, stretches.after), (std::vector<std::string>{"quittung", "ü", "Quittung"}));

    const ChangedStretches inserted = FindChangedStretches("a b", "a neu b");
    EXPECT_TRUE(inserted.before.empty());
    EXPECT_EQ(pieces("a neu b", inserted.after), (std::vector<std::string>{"neu "}));
}

}  // namespace
}  // namespace tarnwick::ui
