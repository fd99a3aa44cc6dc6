// How a WordprocessingML body becomes story units: what is visible, what is
// flagged, and how many positions each construct takes.
#include "word/docx/DocxFormat.h"

#include "tests/word/WordFixtures.h"

#include <gtest/gtest.h>

namespace tarnwick::word {
namespace {

using test::PositionOf;
using test::Visible;

class DocxRead : public ::testing::Test {
protected:
    DocxFormat open(std::string_view body) { return DocxFormat(test::WriteDocx(m_tree, "t.docx", body)); }
    tarnwick::test::TempTree m_tree;
};

std::uint8_t flagsAt(const StoryText& story, std::int64_t position)
{
    return story.units()[static_cast<std::size_t>(position)].flags;
}

TEST_F(DocxRead, RunsSplitByMarkersReadAsOneTextWithTabsAndBreaks)
{
    const DocxFormat doc = open("<w:p><w:pPr><w:tabs><w:tab w:val=\"left\" w:pos=\"720\"/></w:tabs></w:pPr>"
                                "<w:r><w:rPr><w:b/></w:rPr><w:t>Hel</w:t></w:r><w:proofErr w:type=\"spellStart\"/>"
                                "<w:bookmarkStart w:id=\"0\" w:name=\"m\"/><w:r><w:lastRenderedPageBreak/><w:t>lo</w:t></w:r>"
                                "<w:bookmarkEnd w:id=\"0\"/><w:r><w:tab/><w:t xml:space=\"preserve\"> W</w:t><w:br/><w:t>x</w:t>"
                                "<w:br w:type=\"page\"/><w:noBreakHyphen/></w:r></w:p><w:p/>");
    EXPECT_EQ(Visible(doc.mainStory()), "Hello\t W\vx\f\x1E\r\r");
    EXPECT_EQ(doc.mainStory().size(), 14);
}

TEST_F(DocxRead, FieldCodesAreHiddenPositionsAndResultsAreFlagged)
{
    const DocxFormat doc = open("<w:p><w:r><w:t>A</w:t></w:r><w:r><w:fldChar w:fldCharType=\"begin\"/></w:r>"
                                "<w:r><w:instrText xml:space=\"preserve\"> PAGE </w:instrText></w:r>"
                                "<w:r><w:fldChar w:fldCharType=\"separate\"/></w:r><w:r><w:t>7</w:t></w:r>"
                                "<w:r><w:fldChar w:fldCharType=\"end\"/></w:r>"
                                "<w:fldSimple w:instr=\" DATE \"><w:r><w:t>1.1.</w:t></w:r></w:fldSimple>"
                                "<w:hyperlink r:id=\"rLink\"><w:r><w:t>link</w:t></w:r></w:hyperlink></w:p>");
    const StoryText& story = doc.mainStory();
    EXPECT_EQ(Visible(story), "A71.1.link\r");
    // 19 + " PAGE " + 20: the result sits at 9; the simple field likewise.
    EXPECT_EQ(PositionOf(story, "7"), 9);
    EXPECT_EQ(PositionOf(story, "1.1."), 19);
    EXPECT_TRUE(flagsAt(story, 9) & kInFieldResult);
    EXPECT_TRUE(flagsAt(story, 19) & kInFieldResult);
    EXPECT_EQ(story.units()[10].kind, UnitKind::FieldEnd);
    // A hyperlink is a field with the hidden code ` HYPERLINK "target" `,
    // whose display text stays ordinary text.
    EXPECT_EQ(PositionOf(story, "link"), 24 + 1 + 34 + 1);
    EXPECT_EQ(flagsAt(story, PositionOf(story, "link")), 0);
    EXPECT_EQ(story.size(), 66);
}

TEST_F(DocxRead, AFieldResultMaySpanParagraphs)
{
    const DocxFormat doc = open("<w:p><w:r><w:fldChar w:fldCharType=\"begin\"/></w:r><w:r><w:instrText>TOC</w:instrText></w:r>"
                                "<w:r><w:fldChar w:fldCharType=\"separate\"/></w:r><w:r><w:t>Entry</w:t></w:r></w:p>"
                                "<w:p><w:r><w:t>More</w:t></w:r><w:r><w:fldChar w:fldCharType=\"end\"/></w:r>"
                                "<w:r><w:t>After</w:t></w:r></w:p>");
    const StoryText& story = doc.mainStory();
    EXPECT_EQ(Visible(story), "Entry\rMoreAfter\r");
    EXPECT_TRUE(flagsAt(story, PositionOf(story, "More")) & kInFieldResult);
    EXPECT_TRUE(flagsAt(story, PositionOf(story, "\rMore")) & kInFieldResult);
    EXPECT_EQ(flagsAt(story, PositionOf(story, "After")), 0);
}

TEST_F(DocxRead, TablesHaveCellAndRowMarks)
{
    const DocxFormat doc = open("<w:tbl><w:tblPr/><w:tblGrid><w:gridCol/></w:tblGrid><w:tr><w:trPr/><w:tc><w:tcPr/>"
                                "<w:p><w:r><w:t>a</w:t></w:r></w:p><w:p><w:r><w:t>b</w:t></w:r></w:p></w:tc>"
                                "<w:tc><w:tbl><w:tr><w:tc><w:p><w:r><w:t>in</w:t></w:r></w:p></w:tc></w:tr></w:tbl><w:p/></w:tc>"
                                "</w:tr></w:tbl><w:p><w:r><w:t>z</w:t></w:r></w:p>");
    const StoryText& story = doc.mainStory();
    EXPECT_EQ(Visible(story), "a\rb\r\ain\r\a\r\a\r\a\r\az\r");
    EXPECT_EQ(story.size(), 12);  // each cell or row mark is one position
    EXPECT_EQ(story.units()[3].kind, UnitKind::CellEnd);
    EXPECT_EQ(story.units()[7].kind, UnitKind::RowEnd);  // the nested table's row
    EXPECT_EQ(story.units()[8].kind, UnitKind::CellEnd);  // the outer cell's own last paragraph
    EXPECT_EQ(story.units()[9].kind, UnitKind::RowEnd);
}

TEST_F(DocxRead, RevisionsHiddenTextSymbolsAnchorsAndAlternateContent)
{
    const DocxFormat doc =
        open("<w:p><w:del w:id=\"1\"><w:r><w:delText>old</w:delText></w:r></w:del>"
             "<w:ins w:id=\"2\"><w:r><w:t>new</w:t></w:r></w:ins>"
             "<w:r><w:rPr><w:vanish/></w:rPr><w:t>secret</w:t></w:r>"
             "<w:r><w:rPr><w:vanish w:val=\"0\"/></w:rPr><w:t>!</w:t></w:r>"
             "<w:r><w:sym w:font=\"Wingdings\" w:char=\"F04A\"/><w:footnoteReference w:id=\"1\"/></w:r>"
             "<w:r><mc:AlternateContent><mc:Choice Requires=\"wps\"><w:drawing><wp:anchor/></w:drawing></mc:Choice>"
             "<mc:Fallback><w:pict><w:txbxContent><w:p><w:r><w:t>box</w:t></w:r></w:p></w:txbxContent></w:pict>"
             "</mc:Fallback></mc:AlternateContent></w:r><w:r><w:drawing><wp:anchor/></w:drawing></w:r></w:p>"
             "<w:p><w:pPr><w:rPr><w:del w:id=\"3\"/></w:rPr><w:sectPr/></w:pPr></w:p><w:p/>");
    const StoryText& story = doc.mainStory();
    EXPECT_EQ(Visible(story), "oldnew!(\x02\x01\x08\r\f\r");
    EXPECT_TRUE(flagsAt(story, 0) & kDeleted);
    EXPECT_EQ(flagsAt(story, 3), 0);
    EXPECT_TRUE(flagsAt(story, 6) & kHidden);
    EXPECT_TRUE(flagsAt(story, PositionOf(story, "\f")) & kDeleted);  // a deleted section mark
    EXPECT_EQ(story.size(), 20);
}

TEST_F(DocxRead, StrictNamespaceUnderAnyPrefix)
{
    const std::string xml =
        "<?xml version=\"1.0\"?><x:document xmlns:x=\"http://purl.oclc.org/ooxml/wordprocessingml/main\"><x:body>"
        "<x:p><x:pPr><x:sectPr/></x:pPr><x:r><x:t>one</x:t></x:r></x:p>"
        "<x:p xmlns:x=\"urn:other\"><x:r><x:t>skipped</x:t></x:r></x:p>"
        "<p xmlns=\"http://purl.oclc.org/ooxml/wordprocessingml/main\"><r><t>two</t></r></p></x:body></x:document>";
    std::vector<test::ZipEntry> entries = test::DocxEntries(xml);
    entries[1].data = "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
                      "<Relationship Id=\"a\" Target=\"/word/../word/document.xml\" "
                      "Type=\"http://purl.oclc.org/ooxml/officeDocument/relationships/officeDocument\"/></Relationships>";
    const std::string path = m_tree.path("strict.docx");
    test::WriteZip(path, entries);
    EXPECT_EQ(Visible(DocxFormat(path).mainStory()), "one\ftwo\r");
}

}  // namespace
}  // namespace tarnwick::word
