#include "word/story/TextFind.h"

#include "word/automation/WordErrors.h"
#include "word/story/StoryExpression.h"

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

TEST(TextFind, OptionalHyphensInsideAHitBelongToItAndNeverStartOrEndOne)
{
    // U+00AD as text holds it, 0x1F as the readers give an optional-hyphen element.
    const StoryText story = MakeStory("Rech\u00ADnung Rech\x1Fnung\u00AD! Re\u00ADchen\r");
    const auto first = Find(story, "rechnung", false, true);
    ASSERT_TRUE(first);
    EXPECT_EQ(first->start, 0);
    EXPECT_EQ(first->end, 9);
    // The hyphen after the second hit is left out; the whole-word test looks past it.
    EXPECT_EQ(Find(story, "rechnung", false, true, 1)->end, 19);
    EXPECT_EQ(Find(story, "nung")->start, 5);  // not at the hyphen before it
    EXPECT_FALSE(Find(story, "nung", false, true));  // "h" behind the hyphen is a letter
    EXPECT_EQ(Find(story, "Rech\u00ADen")->start, 22);  // ignored in the needle too
}

TEST(StoryExpression, MatchesCharactersAcrossHyphensAndHiddenTextWithTheFilesSyntax)
{
    const StoryText story = MakeStory("Rech\u00ADnung 2 |x|R\U0001F600CHNUNG\r12,50 \u20AC\r");
    const StoryExpression expression(Utf16("rech.ung"), false);
    const auto first = FindExpressionInStory(story, expression, 0, story.size());
    ASSERT_TRUE(first);
    EXPECT_EQ(first->span.end, 9);
    // One character beyond U+FFFF is one "."; case as the expression's flags say.
    const auto second = FindExpressionInStory(story, StoryExpression(Utf16("r.chnung"), false), first->span.end, story.size());
    ASSERT_TRUE(second);
    EXPECT_EQ(second->span.start, 13);  // the hidden x lies before it
    EXPECT_FALSE(FindExpressionInStory(story, StoryExpression(Utf16("r.chnung"), true), 0, story.size()));
    // Groups for a replacement built from them; the range's end is the text's end.
    const auto amount =
        FindExpressionInStory(story, StoryExpression(Utf16("(\\d+),(\\d+) (x)?\u20AC$"), true), 0, story.size() - 1);
    ASSERT_TRUE(amount);
    ASSERT_EQ(amount->groups.size(), 3u);
    EXPECT_EQ(amount->groups[0]->start, 23);
    EXPECT_EQ(amount->groups[1]->end, 28);
    EXPECT_FALSE(amount->groups[2]);
    // Look-behind sees the text before the searched span.
    EXPECT_EQ(FindExpressionInStory(story, StoryExpression(Utf16("(?<=Rech)nung"), true), 5, story.size())->span.start, 5);
}

TEST(StoryExpression, EmptyMatchesAreNoHitsAndBadExpressionsAreRefused)
{
    const StoryText story = MakeStory("abc\r");
    EXPECT_FALSE(FindExpressionInStory(story, StoryExpression(u"x*", true), 0, story.size()));
    EXPECT_EQ(FindExpressionInStory(story, StoryExpression(u"b*", true), 0, story.size())->span.start, 1);
    try {
        StoryExpression(u"(a", true);
        ADD_FAILURE() << "compiled";
    } catch (const ServerError& e) {
        EXPECT_EQ(e.number(), kErrorBadExpression);
    }
}

}  // namespace
}  // namespace tarnwick::word
