#include "ui/results/ResultsText.h"

#include <gtest/gtest.h>

#include "platform/CodePage.h"

namespace tarnwick::ui {
namespace {

const CodePage& utf8()
{
    static const CodePage page("UTF-8");
    return page;
}

const CodePage& latin1()
{
    static const CodePage page("ISO-8859-1");
    return page;
}

TEST(ResultsText, Utf8TextDecodesUmlautsAndMarksBrokenBytesOneByOne)
{
    EXPECT_EQ(ToDisplayText("Gr\xC3\xBC\xC3\x9F"
                            "e",
                            utf8()),
              u"Grüße");
    // A lone continuation byte and a truncated sequence: one U+FFFD per byte.
    EXPECT_EQ(ToDisplayText("a\x80"
                            "b\xC3",
                            utf8()),
              u"a\uFFFDb\uFFFD");
    // Overlong forms and encoded surrogates are not characters either.
    EXPECT_EQ(ToDisplayText("\xC0\xAF", utf8()), u"\uFFFD\uFFFD");
    EXPECT_EQ(ToDisplayText("\xED\xA0\x80", utf8()), u"\uFFFD\uFFFD\uFFFD");
    // A character beyond U+FFFF becomes a surrogate pair.
    EXPECT_EQ(ToDisplayText("\xF0\x9F\x98\x80", utf8()), u"\U0001F600");
}

TEST(ResultsText, SingleByteCodePageGivesOneCharacterPerByte)
{
    EXPECT_EQ(ToDisplayText("Gr\xFC\xDF"
                            "e",
                            latin1()),
              u"Grüße");
    EXPECT_EQ(ToDisplayRange("Gr\xFC\xDF"
                             "e",
                             2, 4, latin1()),
              (DisplayRange{2, 4}));
}

TEST(ResultsText, ByteOffsetsBecomeCharacterOffsetsAfterUmlauts)
{
    // "Müller schreibt Grüße": the match "schreibt" starts at byte 8, character 7.
    const std::string context = "M\xC3\xBCller schreibt Gr\xC3\xBC\xC3\x9F"
                                "e";
    EXPECT_EQ(ToDisplayRange(context, 8, 16, utf8()), (DisplayRange{7, 15}));
    // The match "Grüße" itself: 7 bytes, 5 characters.
    EXPECT_EQ(ToDisplayRange(context, 17, 24, utf8()), (DisplayRange{16, 21}));
    // A match that is a single umlaut.
    EXPECT_EQ(ToDisplayRange(context, 1, 3, utf8()), (DisplayRange{1, 2}));
    // Past a surrogate pair, offsets count two code units for it.
    EXPECT_EQ(ToDisplayRange("\xF0\x9F\x98\x80x", 4, 5, utf8()), (DisplayRange{2, 3}));
}

TEST(ResultsText, RangeBoundsInsideACharacterWidenToTheWholeCharacter)
{
    const std::string text = "a\xC3\xA4"
                             "b";  // "aäb"
    EXPECT_EQ(ToDisplayRange(text, 2, 3, utf8()), (DisplayRange{1, 2}));
    EXPECT_EQ(ToDisplayRange(text, 1, 2, utf8()), (DisplayRange{1, 2}));
    EXPECT_EQ(ToDisplayRange(text, 0, 2, utf8()), (DisplayRange{0, 2}));
}

TEST(ResultsText, OutOfRangeOffsetsAreClampedNeverOverrun)
{
    const std::string text = "\xC3\xA4\xC3\xB6";  // "äö"
    EXPECT_EQ(ToDisplayRange(text, -5, 2, utf8()), (DisplayRange{0, 1}));
    EXPECT_EQ(ToDisplayRange(text, 2, 999, utf8()), (DisplayRange{1, 2}));
    EXPECT_EQ(ToDisplayRange(text, 10, 20, utf8()), (DisplayRange{2, 2}));
    EXPECT_EQ(ToDisplayRange(text, 2, 0, utf8()), (DisplayRange{1, 1}));
    EXPECT_EQ(ToDisplayRange("", 0, 3, utf8()), (DisplayRange{0, 0}));
    EXPECT_EQ(ToDisplayRange("abc", -1, 99, latin1()), (DisplayRange{0, 3}));
}

}  // namespace
}  // namespace tarnwick::ui
