// Replacing in a WordprocessingML story: what the XML looks like afterwards,
// which spans are refused, and that saving changes only the main part.
#include "word/docx/DocxFormat.h"

#include "tests/word/WordFixtures.h"
#include "word/automation/WordErrors.h"

#include <gtest/gtest.h>

namespace tarnwick::word {
namespace {

using test::PositionOf;
using test::Utf16;
using test::Visible;

constexpr const char* kRuns = "<w:p><w:r><w:rPr><w:b/></w:rPr><w:t>Hel</w:t></w:r><w:proofErr w:type=\"spellStart\"/>"
                              "<w:r><w:rPr><w:i/></w:rPr><w:t>lo Wor</w:t></w:r><w:bookmarkStart w:id=\"0\" w:name=\"m\"/>"
                              "<w:r><w:t>ld</w:t></w:r><w:bookmarkEnd w:id=\"0\"/></w:p>";

class DocxReplace : public ::testing::Test {
protected:
    std::string write(std::string_view body) { return m_path = test::WriteDocx(m_tree, "t.docx", body); }
    std::string mainPart() const { return test::EntryData(m_path, "word/document.xml"); }

    int refusal(DocxFormat& doc, std::string_view find, std::string_view with)
    {
        const std::int64_t at = PositionOf(doc.mainStory(), find);
        try {
            doc.replace(at, at + static_cast<std::int64_t>(Utf16(find).size()), Utf16(with));
        } catch (const ServerError& e) {
            return e.number();
        }
        return 0;
    }

    tarnwick::test::TempTree m_tree;
    std::string m_path;
};

TEST_F(DocxReplace, FirstTextElementTakesTheReplacementAndOnlyTouchedRunsChange)
{
    write(kRuns);
    const auto before = test::RawEntries(m_path);
    {
        DocxFormat doc(m_path);
        // "lo Worl" covers the whole italic run and the first letter of the last.
        doc.replace(3, 10, u"p\tX\n");
        EXPECT_EQ(Visible(doc.mainStory()), "Help\tX\vd\r");
        doc.save();
    }
    const std::string xml = mainPart();
    EXPECT_NE(xml.find("<w:r><w:rPr><w:b/></w:rPr><w:t>Hel</w:t></w:r><w:proofErr w:type=\"spellStart\"/>"), std::string::npos);
    EXPECT_NE(xml.find("<w:r><w:rPr><w:i/></w:rPr><w:t xml:space=\"preserve\">p</w:t><w:tab/>"
                       "<w:t xml:space=\"preserve\">X</w:t><w:br/></w:r><w:bookmarkStart w:id=\"0\" w:name=\"m\"/>"
                       "<w:r><w:t xml:space=\"preserve\">d</w:t></w:r><w:bookmarkEnd w:id=\"0\"/>"),
              std::string::npos)
        << xml;
    EXPECT_EQ(xml.rfind("<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>", 0), 0u);

    // Every other entry keeps its compressed bytes, and the order stays.
    const auto after = test::RawEntries(m_path);
    ASSERT_EQ(after.size(), before.size());
    for (std::size_t i = 0; i < after.size(); ++i) {
        EXPECT_EQ(after[i].first, before[i].first);
        if (after[i].first != "word/document.xml") {
            EXPECT_EQ(after[i].second, before[i].second) << after[i].first;
        }
    }
    EXPECT_EQ(Visible(DocxFormat(m_path).mainStory()), "Help\tX\vd\r");
}

TEST_F(DocxReplace, ReplacingInsideOneTextKeepsBothSidesAndSpaces)
{
    write("<w:p><w:r><w:t xml:space=\"preserve\"> a b c </w:t></w:r></w:p>");
    DocxFormat doc(m_path);
    doc.replace(2, 4, u"  ");  // " b"
    doc.replace(0, 1, u"");
    EXPECT_EQ(Visible(doc.mainStory()), "a   c \r");
    doc.save();
    EXPECT_EQ(Visible(DocxFormat(m_path).mainStory()), "a   c \r");
}

TEST_F(DocxReplace, TabsSymbolsAndEmptiedTextsDisappearWithTheSpan)
{
    write("<w:p><w:r><w:t>a</w:t><w:tab/><w:sym w:font=\"Symbol\" w:char=\"F020\"/><w:t>b</w:t></w:r>"
          "<w:r><w:t>c</w:t></w:r></w:p>");
    DocxFormat doc(m_path);
    doc.replace(1, 5, u"-");  // tab, symbol, b, c
    EXPECT_EQ(Visible(doc.mainStory()), "a-\r");
    doc.save();
    const std::string xml = mainPart();
    EXPECT_EQ(xml.find("<w:tab/>"), std::string::npos);
    EXPECT_EQ(xml.find("w:sym"), std::string::npos);
    EXPECT_NE(xml.find("<w:r><w:t>a</w:t><w:t xml:space=\"preserve\">-</w:t></w:r><w:r/>"), std::string::npos) << xml;
}

TEST_F(DocxReplace, InsertionTakesTheRunBeforeOrAtParagraphStartTheRunAfter)
{
    write("<w:p><w:r><w:rPr><w:b/></w:rPr><w:t>ab</w:t></w:r><w:r><w:t>cd</w:t></w:r></w:p>"
          "<w:p><w:r><w:rPr><w:i/></w:rPr><w:t>ef</w:t></w:r></w:p><w:p/>");
    DocxFormat doc(m_path);
    doc.replace(2, 2, u"X");
    doc.replace(6, 6, u"Y");
    EXPECT_EQ(Visible(doc.mainStory()), "abXcd\rYef\r\r");
    try {
        doc.replace(10, 10, u"Z");  // an empty paragraph has no run to write into
        FAIL();
    } catch (const ServerError& e) {
        EXPECT_EQ(e.number(), kErrorRefusedSpan);
    }
    doc.save();
    const std::string xml = mainPart();
    EXPECT_NE(xml.find("<w:b/></w:rPr><w:t xml:space=\"preserve\">abX</w:t>"), std::string::npos);
    EXPECT_NE(xml.find("<w:i/></w:rPr><w:t xml:space=\"preserve\">Yef</w:t>"), std::string::npos);
}

TEST_F(DocxReplace, RefusesFieldsDeletionsHiddenTextWrappersMarksAndBadCharacters)
{
    write("<w:p><w:r><w:t>\xF0\x9D\x90\x80x</w:t></w:r><w:fldSimple w:instr=\" DATE \"><w:r><w:t>date</w:t></w:r></w:fldSimple>"
          "<w:del w:id=\"1\"><w:r><w:delText>gone</w:delText></w:r></w:del>"
          "<w:r><w:t>vis</w:t></w:r><w:r><w:rPr><w:vanish/></w:rPr><w:t>HID</w:t></w:r><w:r><w:t>ible</w:t></w:r>"
          "<w:r><w:t>pre</w:t></w:r><w:hyperlink r:id=\"rLink\"><w:r><w:t>link</w:t></w:r></w:hyperlink></w:p>"
          "<w:p><w:r><w:t>next</w:t></w:r></w:p>");
    DocxFormat doc(m_path);
    EXPECT_EQ(refusal(doc, "date", "d"), kErrorRefusedSpan);
    EXPECT_EQ(refusal(doc, "xdate", "d"), kErrorRefusedSpan);  // crosses the field's code characters
    EXPECT_EQ(refusal(doc, "gone", "g"), kErrorRefusedSpan);
    EXPECT_EQ(refusal(doc, "visible", "v"), kErrorRefusedSpan);  // would drop hidden text
    EXPECT_EQ(refusal(doc, "prelink", "p"), kErrorRefusedSpan);  // would move text into the link
    EXPECT_EQ(refusal(doc, "link\rnext", "n"), kErrorRefusedSpan);
    EXPECT_EQ(refusal(doc, "pre", "a\rb"), kErrorRefusedText);
    EXPECT_EQ(refusal(doc, "pre", "a\x01"), kErrorRefusedText);
    const std::int64_t pre = PositionOf(doc.mainStory(), "pre");
    EXPECT_THROW(doc.replace(pre, pre + 1, u"\xD800"), ServerError);  // a lone surrogate
    EXPECT_THROW(doc.replace(1, 2, u"y"), ServerError);  // half of U+1D400
    EXPECT_EQ(refusal(doc, "link", "LINK"), 0);  // a hyperlink's own text may change
    EXPECT_EQ(Visible(doc.mainStory()), "\xF0\x9D\x90\x80xdategonevisiblepreLINK\rnext\r");
}

// A text box kept twice, for readers of the newer markup and for older
// ones: one story, and an edit goes to both copies; copies that differ take
// no edit, which would leave one reader with the old text.
TEST_F(DocxReplace, ATextBoxKeptTwiceIsChangedInBothCopiesOrNotAtAll)
{
    const auto textBox = [](std::string_view choice, std::string_view fallback) {
        return "<w:p><w:r><mc:AlternateContent><mc:Choice Requires=\"wps\"><w:drawing><wps:txbx><w:txbxContent><w:p><w:r><w:t>" +
            std::string(choice) +
            "</w:t></w:r></w:p></w:txbxContent></wps:txbx></w:drawing></mc:Choice><mc:Fallback><w:pict>"
            "<w:txbxContent><w:p><w:r><w:t>" +
            std::string(fallback) +
            "</w:t></w:r></w:p></w:txbxContent></w:pict></mc:Fallback></mc:AlternateContent></w:r><w:r><w:t>main</w:t></w:r></"
            "w:p>";
    };
    const StoryId box{StoryKind::TextBox, 1};
    write(textBox("Rechnung eins", "Rechnung eins"));
    {
        DocxFormat doc(m_path);
        EXPECT_EQ(doc.stories(), (std::vector<StoryId>{StoryId{}, box}));
        EXPECT_EQ(Visible(doc.mainStory()), "\x01main\r");
        doc.replaceIn(box, 0, 8, u"Beleg");
        EXPECT_EQ(Visible(doc.story(box)), "Beleg eins\r");
        doc.save();
    }
    std::string xml = mainPart();
    EXPECT_EQ(xml.find("Rechnung"), std::string::npos) << xml;
    EXPECT_NE(xml.find("Beleg eins</w:t></w:r></w:p></w:txbxContent></w:pict>"), std::string::npos) << xml;

    write(textBox("Rechnung eins", "Rechnung zwei"));
    DocxFormat differing(m_path);
    ASSERT_EQ(differing.stories().size(), 2u);
    try {
        differing.replaceIn(box, 0, 8, u"Beleg");
        ADD_FAILURE() << "replaced";
    } catch (const ServerError& e) {
        EXPECT_EQ(e.number(), kErrorRefusedSpan);
    }
}

}  // namespace
}  // namespace tarnwick::word
