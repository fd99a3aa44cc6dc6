#include "word/rtf/RtfReader.h"

#include <gtest/gtest.h>

#include "word/automation/Automation.h"

namespace tarnwick::word {
namespace {

std::u16string allUnits(const RtfStory& story)
{
    std::u16string text;
    for (const Unit& unit : story.story.units()) text += unit.value;
    return text;
}

std::string_view sourceOf(std::string_view bytes, const Unit& unit) { return bytes.substr(unit.source, unit.offset); }

std::u16string visible(std::string_view bytes) { return ReadRtf(bytes).story.visibleText(); }

TEST(RtfReader, WriterSampleGivesOneUnitPerCharacterWithItsBytes)
{
    const std::string bytes = "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\froman Liberation Serif;}}\r\n"
                              "\\pard\\plain {\\loch Hello world   \\tab \\line end}\\par }";
    const RtfStory story = ReadRtf(bytes);
    EXPECT_EQ(story.story.visibleText(), u"Hello world   \t\vend\r");
    const auto& units = story.story.units();
    ASSERT_EQ(units.size(), 20u);
    EXPECT_EQ(sourceOf(bytes, units[0]), "H");
    EXPECT_EQ(sourceOf(bytes, units[13]), " ");
    EXPECT_EQ(units[14].kind, UnitKind::Tab);
    EXPECT_EQ(sourceOf(bytes, units[14]), "\\tab ");
    EXPECT_EQ(units[15].kind, UnitKind::LineBreak);
    EXPECT_EQ(units[19].kind, UnitKind::ParagraphEnd);
    EXPECT_EQ(sourceOf(bytes, units[19]), "\\par ");
}

TEST(RtfReader, UnicodeCharactersSkipTheirFallback)
{
    EXPECT_EQ(visible("{\\rtf1 \\u228?x\\par}"), u"\u00e4x\r");
    // \uc is group-scoped; the fallback can be \'hh; a brace ends it early.
    EXPECT_EQ(visible("{\\rtf1 {\\uc2\\u12354\\'82\\'a0}\\u228\\'e4y\\par}"), u"\u3042\u00e4y\r");
    EXPECT_EQ(visible("{\\rtf1 \\uc0\\u228 z\\par}"), u"\u00e4z\r");
    EXPECT_EQ(visible("{\\rtf1 \\uc3{\\u228}ab\\par}"), u"\u00e4ab\r");
    // Negative values and surrogate pairs.
    EXPECT_EQ(visible("{\\rtf1 \\u-10179?\\u-8704?\\par}"), u"\U0001F600\r");

    const std::string bytes = "{\\rtf1 \\u8212\\'97\\par}";
    const RtfStory story = ReadRtf(bytes);
    EXPECT_EQ(sourceOf(bytes, story.story.units()[0]), "\\u8212\\'97");
}

TEST(RtfReader, HexBytesFollowTheCodePageOfDocumentAndFont)
{
    EXPECT_EQ(visible("{\\rtf1\\ansi \\'e4\\'80\\par}"), u"\u00e4\u20ac\r");
    EXPECT_EQ(visible("{\\rtf1\\ansi\\ansicpg1251 \\'e4\\par}"), u"\u0434\r");
    EXPECT_EQ(visible("{\\rtf1\\ansi{\\fonttbl{\\f1\\fcharset204 Cyr;}{\\f2\\fcharset161 Gr;}}"
                      "\\'e4{\\f1\\'e4}{\\f2\\'e4}\\par}"),
              u"\u00e4\u0434\u03b4\r");
    const RtfStory japanese = ReadRtf("{\\rtf1\\ansi{\\fonttbl{\\f1\\fcharset128 Mincho;}}{\\f1\\'82\\'a0}a\\par}");
    EXPECT_EQ(japanese.story.visibleText(), u"\u3042a\r");
    EXPECT_TRUE(japanese.doubleByte[0]);
    EXPECT_FALSE(japanese.doubleByte[1]);
}

TEST(RtfReader, DestinationsOutsideTheMainStoryAreLeftOut)
{
    const std::string bytes =
        "{\\rtf1{\\fonttbl{\\f0 F;}}{\\colortbl;\\red1;}{\\stylesheet{\\s1 Heading;}}{\\info{\\title T}}"
        "{\\header H}{\\*\\unknownword U}{\\*\\bkmkstart b}{\\listtext 1.\\tab}A{\\super\\chftn}"
        "{\\footnote\\pard {\\super\\chftn} note}B{\\*\\shppict{\\pict\\bin2 {}}}{\\nonshppict{\\pict 00}}C\\par}";
    const RtfStory story = ReadRtf(bytes);
    EXPECT_EQ(story.story.visibleText(), u"A\u0002B\u0001C\r");
    EXPECT_EQ(story.story.units()[1].kind, UnitKind::Anchor);
    // Every left-out group is recorded so an edit never cuts through one.
    ASSERT_EQ(story.omittedGroups.size(), 11u);
    const auto footnote = story.omittedGroups[8];
    EXPECT_EQ(bytes.substr(footnote.first, footnote.second - footnote.first), "\\footnote\\pard {\\super\\chftn} note}");
}

TEST(RtfReader, FieldResultIsVisibleAndItsCodeIsNot)
{
    const RtfStory story = ReadRtf("{\\rtf1 a{\\field{\\*\\fldinst { HYPERLINK \"x\" }}{\\fldrslt {\\ul link}}}b\\par}");
    EXPECT_EQ(allUnits(story), u"a\u0013 HYPERLINK \"x\" \u0014link\u0015b\r");
    EXPECT_EQ(story.story.visibleText(), u"alinkb\r");
    const auto& units = story.story.units();
    EXPECT_EQ(units[2].flags, kFieldCode);
    EXPECT_EQ(units[18].flags, 0);  // a hyperlink's display text is its own, not regenerated
    EXPECT_EQ(units[23].flags, 0);
    EXPECT_EQ(units[22].kind, UnitKind::FieldEnd);
}

TEST(RtfReader, HiddenTextDeletionsAndFinalParagraph)
{
    const RtfStory story = ReadRtf("{\\rtf1 a{\\v h}{\\deleted d}\\plain b}");
    EXPECT_EQ(allUnits(story), u"ahdb\r");
    EXPECT_EQ(story.story.visibleText(), u"adb\r");
    EXPECT_EQ(story.story.units()[2].flags, kDeleted);
    // A truncated document is read as far as it goes.
    EXPECT_EQ(visible("{\\rtf1 {\\b abc"), u"abc\r");
    EXPECT_EQ(visible("{\\rtf1 x}trailing"), u"x\r");
    EXPECT_EQ(visible("{\\rtf1 a\\bin2 }{b\\par}"), u"ab\r");
}

TEST(RtfReader, RefusesWhatIsNotRtf)
{
    EXPECT_THROW(ReadRtf("hello"), ServerError);
    EXPECT_THROW(ReadRtf(""), ServerError);
}

}  // namespace
}  // namespace tarnwick::word
