#include "word/story/TextFind.h"

#include "tests/word/WordFixtures.h"

#include <gtest/gtest.h>

namespace tarnwick::word {
namespace {

using test::Utf16;

// A story from UTF-8 text; '\r' is a paragraph mark, '|' starts and ends
// hidden text (the bars themselves are not units).
StoryText MakeStory(std::string_view layout)
{
    StoryText story;
    bool hidden = false;
    for (const char16_t c : Utf16(layout)) {
        if (c == u'|') {
            hidden = !hidden;
            continue;
        }
        Unit unit;
        unit.value = c;
        unit.kind = c == u'\r' ? UnitKind::ParagraphEnd : UnitKind::Text;
        unit.flags = hidden ? kHidden : 0;
        story.units().push_back(unit);
    }
    story.index();
    return story;
}

std::optional<StorySpan> Find(const StoryText& story, std::string_view needle, bool matchCase = false, bool wholeWord = false,
                              std::int64_t from = 0)
{
    return FindInStory(story, Utf16(needle), FindOptions{matchCase, wholeWord}, from, story.size());
}

TEST(TextFind, CaseFoldingIsSimpleAndOneToOne)
{
    const StoryText story = MakeStory("Straße ÄRGER ΣΊΣΥΦΟΣ \"x\"\r");
    EXPECT_EQ(Find(story, "ärger")->start, 7);
    EXPECT_FALSE(Find(story, "ärger", true));
    EXPECT_EQ(Find(story, "σίσυφος")->end, 20);  // final sigma folds like the others
    EXPECT_FALSE(Find(story, "strasse"));  // no full folding: ß stays one character
    EXPECT_EQ(Find(story, "STRASSE"), std::nullopt);
    // Curly and straight quotes match each other unless case matters.
    EXPECT_EQ(Find(story, "\u201Cx\u201D")->start, 21);
    EXPECT_FALSE(Find(story, "\u201Cx\u201D", true));
}

TEST(TextFind, WholeWordsJudgeLettersAndDigitsOfAnyScript)
{
    const StoryText story = MakeStory("cat1 cat_ écat cat\xF0\x9D\x90\x80 (cat)\r");
    EXPECT_EQ(Find(story, "cat", false, true)->start, 5);  // '_' is no word character
    const StoryText tail = MakeStory("x cat\xF0\x9D\x90\x80 \xF0\x9D\x90\x80"
                                     "cat (cat)\r");
    // A mathematical letter (a surrogate pair) on either side is a letter.
    EXPECT_EQ(Find(tail, "cat", false, true)->start, 15);
    EXPECT_EQ(Find(MakeStory("cat\r"), "cat", false, true)->start, 0);  // story edge
    EXPECT_FALSE(Find(MakeStory("x٣cat\r"), "cat", false, true));  // Arabic-Indic digit
}

TEST(TextFind, HiddenTextIsSkippedButBelongsToTheHit)
{
    const StoryText story = MakeStory("ab|XY|cd ab|z|\r");
    const auto hit = Find(story, "bc");
    ASSERT_TRUE(hit);
    EXPECT_EQ(hit->start, 1);
    EXPECT_EQ(hit->end, 5);  // b, X, Y, c
    // Neighbours are looked for past hidden text: "ab" before hidden "z" then
    // a paragraph mark is a whole word; "cd" before " " too.
    EXPECT_EQ(Find(story, "ab", false, true, 1)->start, 7);
}

TEST(TextFind, HitsStayInsideTheSearchedSpanAndParagraphs)
{
    const StoryText story = MakeStory("one\rtwo one\r");
    EXPECT_EQ(Find(story, "one", false, false, 1)->start, 8);
    EXPECT_FALSE(FindInStory(story, u"one", {}, 1, 10));  // would end past `to`
    EXPECT_FALSE(Find(story, "onetwo"));
    EXPECT_EQ(Find(story, "one\rtwo")->end, 7);  // only with the mark in the needle
    EXPECT_FALSE(Find(story, ""));
}

TEST(TextFind, AllCapitalHitsGetCapitalReplacements)
{
    EXPECT_EQ(AdaptReplacementCase(u"HAUS", u"straße"), u"STRAßE");  // simple mapping: ß has no capital of its own
    EXPECT_EQ(AdaptReplacementCase(u"Haus", u"heim"), u"heim");
    EXPECT_EQ(AdaptReplacementCase(u"42", u"heim"), u"heim");
    EXPECT_EQ(AdaptReplacementCase(u"A-1", u"b-2"), u"B-2");
}

}  // namespace
}  // namespace tarnwick::word
