// The names of a document's parts in a hit's position, read back into the
// story they stand for, and the position column that carries them.
#include "engine/documents/DocumentParts.h"
#include "results/HitPosition.h"

#include <gtest/gtest.h>

namespace tarnwick {
namespace {

using word::StoryId;
using word::StoryKind;

TEST(DocumentParts, NamesAreNumberedWhereAReaderNeedsItAndReadBackToTheirStory)
{
    const StoryId header{StoryKind::Header, 1}, footnote{StoryKind::Footnote, 3}, box{StoryKind::TextBox, 1};
    const std::vector<StoryId> one = {header, StoryId{}, footnote, box};
    EXPECT_EQ(DocumentPartName(StoryId{}, one), "");
    EXPECT_EQ(DocumentPartName(header, one), "Kopfzeile");
    EXPECT_EQ(DocumentPartName(footnote, one), "Fußnote 3");
    EXPECT_EQ(DocumentPartName(box, one), "Textfeld 1");
    const std::vector<StoryId> two = {header, {StoryKind::Header, 2}, StoryId{}};
    EXPECT_EQ(DocumentPartName({StoryKind::Header, 2}, two), "Kopfzeile 2");

    for (const StoryId id : {StoryId{}, header, footnote, box, StoryId{StoryKind::Header, 2}, StoryId{StoryKind::Footer, 1},
                             StoryId{StoryKind::Endnote, 12}, StoryId{StoryKind::Comment, 2}})
        EXPECT_EQ(DocumentPartOfName(DocumentPartName(id, two)), id) << DocumentPartName(id, two);
    for (const char* none : {"Kopfzeilen", "Fußnote 0", "Fußnote x", "Fußnote  3", "Anhang 1"})
        EXPECT_FALSE(DocumentPartOfName(none)) << none;
}

// A damaged part that held every note, or every header and footer, is
// named by all it held.
TEST(DocumentParts, APartThatCannotBeReadIsNamedByAllItHeld)
{
    EXPECT_EQ(UnreadablePartName({{StoryKind::Footnote}, 0, 5002, ""}, {}), "Fußnoten");
    EXPECT_EQ(UnreadablePartName({{StoryKind::Header, StoryKind::Footer}, 0, 5002, ""}, {}), "Kopfzeilen und Fußzeilen");
}

TEST(DocumentParts, APositionWithoutAPartIsTheMainTextAsBefore)
{
    EXPECT_EQ(FormatHitPosition("", 42), "42");
    EXPECT_EQ(FormatHitPosition("Fußnote 3", 12), "Fußnote 3: 12");
    const auto main = ParseHitPosition("42");
    ASSERT_TRUE(main);
    EXPECT_EQ(main->part, "");
    EXPECT_EQ(main->position, 42);
    const auto note = ParseHitPosition("Fußnote 3: 12");
    ASSERT_TRUE(note);
    EXPECT_EQ(note->part, "Fußnote 3");
    EXPECT_EQ(note->position, 12);
    EXPECT_EQ(ParseHitPosition("-1")->position, -1);
    for (const char* damaged : {"", "Kopfzeile: ", ": 3", "12a", "Kopfzeile: x"})
        EXPECT_FALSE(ParseHitPosition(damaged)) << damaged;
}

TEST(DocumentParts, APreviewNamesThePartOnEachOfItsParagraphsButNotAfterACellMark)
{
    EXPECT_EQ(LabelledPartText(u"", u"a\rb\r"), u"a\rb\r");
    EXPECT_EQ(LabelledPartText(u"Kopfzeile", u"a\r\ab\r"), u"Kopfzeile: a\r\aKopfzeile: b\r");
}

}  // namespace
}  // namespace tarnwick
