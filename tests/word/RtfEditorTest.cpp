#include "word/rtf/RtfEditor.h"

#include <gtest/gtest.h>

#include "word/automation/WordErrors.h"
#include "word/rtf/RtfDocument.h"

namespace tarnwick::word {
namespace {

// The bytes after replacing [start, end) of the document `rtf`.
std::string replaced(const std::string& rtf, std::int64_t start, std::int64_t end, const std::u16string& text)
{
    auto document = RtfDocument::fromBytes(rtf);
    document->replace(start, end, text);
    return document->bytes();
}

int refusal(const std::string& rtf, std::int64_t start, std::int64_t end, const std::u16string& text = u"x")
{
    auto document = RtfDocument::fromBytes(rtf);
    try {
        document->replace(start, end, text);
    } catch (const ServerError& e) {
        EXPECT_EQ(document->bytes(), rtf) << "a refused replace changed the document";
        return e.number();
    }
    return 0;
}

TEST(RtfEditor, ReplacementTakesThePlaceOfTheFirstCharacterAndKeepsEveryControlWord)
{
    // "lo bold w" spans a bold run: its text goes, \b and \b0 stay paired.
    EXPECT_EQ(replaced("{\\rtf1 Hello \\b bold\\b0  world\\par}", 3, 12, u"X"), "{\\rtf1 HelX\\b \\b0 orld\\par}");
    EXPECT_EQ(replaced("{\\rtf1 a{\\b bc}d\\par}", 1, 3, u"Y"), "{\\rtf1 a{\\b Y}d\\par}");
    EXPECT_EQ(replaced("{\\rtf1 a{\\b bc}d\\par}", 0, 2, u"Y"), "{\\rtf1 Y{\\b c}d\\par}");
    EXPECT_EQ(replaced("{\\rtf1 a{\\b bc}d\\par}", 2, 4, u"Z"), "{\\rtf1 a{\\b bZ}\\par}");
    // A \uN goes together with its fallback; \tab inside the span goes too.
    EXPECT_EQ(replaced("{\\rtf1 x\\u228\\'e4\\tab y\\par}", 1, 4, u"ae"), "{\\rtf1 xae\\par}");

    auto document = RtfDocument::fromBytes("{\\rtf1 one two\\par}");
    document->replace(4, 7, u"three");
    EXPECT_EQ(document->mainStory().visibleText(), u"one three\r");
    document->replace(0, 0, u">");
    EXPECT_EQ(document->mainStory().visibleText(), u">one three\r");
}

// Found by fuzzing: in a file cut short inside a binary run, text written
// at its end went into the run, so the "{" of the replacement's group was
// taken as data and its "}" closed the document's group; the story still
// read as intended. Such an edit is refused and the document not saved.
TEST(RtfEditor, TextThatABinaryRunCutShortWouldSwallowIsRefused)
{
    auto document = RtfDocument::fromBytes("{\\rtf1\\bin4 abc");
    document->replace(0, 0, u"\u00e4");
    EXPECT_THROW(document->bytes(), ServerError);
    EXPECT_THROW(document->replace(0, 0, u"x"), ServerError);
}

TEST(RtfEditor, ReplacementIsEscaped)
{
    EXPECT_EQ(EscapeRtfText(u"a\\{b}"), "a\\\\\\{b\\}");
    EXPECT_EQ(EscapeRtfText(u"\u00e4\u20ac!"), "{\\uc1\\u228?\\u8364?}!");
    EXPECT_EQ(EscapeRtfText(u"\U0001F600"), "{\\uc1\\u-10179?\\u-8704?}");
    EXPECT_EQ(EscapeRtfText(u"a\tb\vc\nd\u00a0"), "a\\tab b\\line c\\line d\\~");

    const std::u16string text = u"\u00e4{\\}\t\v\U0001F600 end";
    auto document = RtfDocument::fromBytes("{\\rtf1\\uc2 ab\\par}");
    document->replace(0, 2, text);
    EXPECT_EQ(document->mainStory().visibleText(), text + u"\r");
    EXPECT_EQ(refusal("{\\rtf1 ab\\par}", 0, 1, u"\u0001"), kErrorRefusedText);
}

// LibreOffice drops a shape property's whole value when it holds a group, so
// the shape's text is escaped there without one, with the \uc in effect.
TEST(RtfEditor, ShapeTextKeptAsAPropertyIsATextBoxEscapedWithoutGroups)
{
    EXPECT_EQ(EscapeRtfPropertyValue(u"\u00fc{a}\\", 1), "\\u252?\\{a\\}\\\\");
    EXPECT_EQ(EscapeRtfPropertyValue(u"\U0001F600\u00a0", 2), "\\u-10179??\\u-8704??\\u160??");
    EXPECT_EQ(EscapeRtfPropertyValue(u"\u00e45", 0), "\\u228 5");

    // Other properties, also one named in another \sp group, are no text.
    const std::string rtf =
        "{\\rtf1\\uc2 ab{\\shp{\\*\\shpinst{\\sp{\\sn wzName}{\\sv Rechnung}}{\\sp{\\sn gtextUNICODE}}"
        "{\\sp{\\sv Rechnung}}{\\sp{\\sn gtextUNICODE}{\\sv Die Rechnung \\u252\\'c3\\'bc \\{x\\}}}}}cd\\par}";
    auto document = RtfDocument::fromBytes(rtf);
    const std::vector<StoryId> ids = document->stories();
    ASSERT_EQ(ids.size(), 2u);
    EXPECT_EQ(ids[1].kind, StoryKind::TextBox);
    EXPECT_EQ(document->mainStory().visibleText().find(u"Rechnung"), std::u16string::npos);
    EXPECT_EQ(document->story(ids[1]).visibleText(), u"Die Rechnung \u00fc {x}\r");

    document->replaceIn(ids[1], 4, 12, u"Beleg {\u00e4}\\");
    document->replaceIn(ids[1], 18, 19, u"y");
    EXPECT_NE(document->bytes().find("{\\sv Die Beleg \\{\\u228??\\}\\\\ \\u252\\'c3\\'bc \\{y\\}}"), std::string::npos)
        << document->bytes();
    EXPECT_NE(document->bytes().find("{\\sv Rechnung}"), std::string::npos);
    EXPECT_EQ(RtfDocument::fromBytes(document->bytes())->story(ids[1]).visibleText(), u"Die Beleg {\u00e4}\\ \u00fc {y}\r");

    EXPECT_THROW(document->replaceIn(ids[1], 0, 1, u"\t"), ServerError);

    // Text inserted into an empty value goes into it.
    auto empty = RtfDocument::fromBytes("{\\rtf1 a{\\shp{\\*\\shpinst{\\sp{\\sn gtextUNICODE}{\\sv }}}}\\par}");
    empty->replaceIn(empty->stories().at(1), 0, 0, u"Neu");
    EXPECT_NE(empty->bytes().find("{\\sv Neu}"), std::string::npos) << empty->bytes();
}

TEST(RtfEditor, AControlWordBeforeTheEditDoesNotSwallowWhatFollows)
{
    // Without a delimiter \b would become \bx, \b5 or eat the space.
    for (const std::u16string text : {u"x", u"5", u" y", u""}) {
        auto document = RtfDocument::fromBytes("{\\rtf1 {\\b\\u228?z}\\par}");
        document->replace(0, 1, text);
        EXPECT_EQ(document->mainStory().visibleText(), text + u"z\r") << document->bytes();
    }
}

// A replace-all's edits are collected and written in one pass; the bytes
// must be those of the edits made one at a time, also when a later edit lies
// behind the earlier ones or inside text an edit wrote.
TEST(RtfEditor, EditsCollectedForOnePassGiveTheBytesOfEditsMadeOneByOne)
{
    const std::string rtf = "{\\rtf1 abab {\\b\\u228?ab}\\tab ab\\par cd\\b ab\\b0ab{\\*\\bkmkstart m}ab\\par}";
    auto document = RtfDocument::fromBytes(rtf);
    std::string bytes = rtf;
    RtfStory story = ReadRtf(rtf);
    const auto replace = [&](std::int64_t start, std::int64_t end, const std::u16string& text) {
        document->replace(start, end, text);
        RtfEdit edit = EditRtf(bytes, story, start, end, text);
        bytes = std::move(edit.bytes);
        story = std::move(edit.story);
        ASSERT_EQ(document->mainStory().visibleText(), story.story.visibleText());
    };
    // Front to back, with a digit behind control words that must keep their delimiter.
    for (std::size_t at = story.story.visibleText().find(u"ab"); at != std::u16string::npos;
         at = story.story.visibleText().find(u"ab", at + 2))
        replace(static_cast<std::int64_t>(at), static_cast<std::int64_t>(at) + 2, u"5y");
    replace(0, 2, u"Q");  // behind the others
    const auto inserted = static_cast<std::int64_t>(story.story.visibleText().find(u"5y"));
    replace(inserted, inserted + 1, u"");  // inside text an edit wrote
    EXPECT_EQ(document->bytes(), bytes);
}

TEST(RtfEditor, RefusesSpansItMustNotTouch)
{
    const std::string rtf = "{\\rtf1{\\fonttbl{\\f1\\fcharset128 Mincho;}}ab\\par cd{\\*\\bkmkstart m}ef"
                            "{\\field{\\*\\fldinst PAGE}{\\fldrslt 7}}g{\\deleted h}{\\f1 \\'82\\'a0}i{\\pict 00}j\\par}";
    // Units: a b \r c d e f 19 P A G E 20 7 21 g h <double-byte> i <pict> j \r
    EXPECT_EQ(refusal(rtf, 1, 4), kErrorRefusedSpan);  // crosses \par
    EXPECT_EQ(refusal(rtf, 4, 6), kErrorRefusedSpan);  // crosses the bookmark group
    EXPECT_EQ(refusal(rtf, 13, 14), kErrorRefusedSpan);  // field result
    EXPECT_EQ(refusal(rtf, 8, 9), kErrorRefusedSpan);  // field code
    EXPECT_EQ(refusal(rtf, 16, 17), kErrorRefusedSpan);  // tracked deletion
    EXPECT_EQ(refusal(rtf, 17, 18), kErrorRefusedSpan);  // double-byte font
    EXPECT_EQ(refusal(rtf, 19, 21), kErrorRefusedSpan);  // object
    EXPECT_EQ(refusal(rtf, 14, 14), kErrorRefusedSpan);  // insertion into a field result
    EXPECT_EQ(refusal(rtf, 5, 30), kErrorRefusedSpan);  // beyond the story
    EXPECT_EQ(refusal(rtf, 4, 5), 0);
    EXPECT_EQ(refusal(rtf, 15, 16), 0);
}

}  // namespace
}  // namespace tarnwick::word
