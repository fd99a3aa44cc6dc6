// A replacement reads only the edited paragraph again and splices it into
// the story. Whatever the sequence of edits, the story must stay what a
// fresh read of the saved package gives, and the unit sources of spliced
// paragraphs must keep naming the right XML nodes (or later edits would
// land in the wrong place).
#include "word/docx/DocxFormat.h"
#include "word/odt/OdtFormat.h"
#include "word/odt/OdtStoryReader.h"
#include "word/story/EditChecks.h"

#include "tests/word/WordFixtures.h"
#include "word/automation/WordErrors.h"

#include <gtest/gtest.h>

#include <functional>
#include <random>

namespace tarnwick::word {
namespace {

using test::PositionOf;
using test::Utf16;
using test::Utf8;
using test::Visible;

// Runs split by proofing marks and bookmarks, fields inside paragraphs
// (simple, complex, hyperlink), hidden text, tabs and breaks, a section
// mark, a table with a nested table, and text outside the BMP.
constexpr const char* kRichDocx =
    "<w:p><w:r><w:rPr><w:b/></w:rPr><w:t>alpha beta</w:t></w:r><w:proofErr w:type=\"spellStart\"/>"
    "<w:r><w:t>gamma</w:t></w:r><w:proofErr w:type=\"spellEnd\"/><w:bookmarkStart w:id=\"0\" w:name=\"m\"/>"
    "<w:r><w:t xml:space=\"preserve\"> delta </w:t></w:r><w:bookmarkEnd w:id=\"0\"/></w:p>"
    "<w:p><w:r><w:t xml:space=\"preserve\">pre </w:t></w:r><w:fldSimple w:instr=\" DATE \"><w:r><w:t>date</w:t></w:r>"
    "</w:fldSimple><w:r><w:t xml:space=\"preserve\"> mid </w:t></w:r><w:r><w:fldChar w:fldCharType=\"begin\"/></w:r>"
    "<w:r><w:instrText> PAGE </w:instrText></w:r><w:r><w:fldChar w:fldCharType=\"separate\"/></w:r>"
    "<w:r><w:t>7</w:t></w:r><w:r><w:fldChar w:fldCharType=\"end\"/></w:r><w:r><w:t xml:space=\"preserve\"> post</w:t>"
    "</w:r><w:hyperlink r:id=\"rLink\"><w:r><w:t>link text</w:t></w:r></w:hyperlink></w:p>"
    "<w:tbl><w:tr><w:tc><w:p><w:r><w:t>cell one</w:t></w:r></w:p><w:p><w:r><w:t>cell one b</w:t></w:r></w:p></w:tc>"
    "<w:tc><w:p><w:r><w:t>cell two</w:t></w:r></w:p></w:tc></w:tr>"
    "<w:tr><w:tc><w:tbl><w:tr><w:tc><w:p><w:r><w:t>nested</w:t></w:r></w:p></w:tc></w:tr></w:tbl>"
    "<w:p><w:r><w:t>after nested</w:t></w:r></w:p></w:tc></w:tr></w:tbl>"
    "<w:p><w:r><w:t xml:space=\"preserve\">hidden </w:t></w:r><w:r><w:rPr><w:vanish/></w:rPr><w:t>HID</w:t></w:r>"
    "<w:r><w:t xml:space=\"preserve\"> shown</w:t></w:r><w:r><w:tab/><w:t>tabbed</w:t><w:br/><w:t>broken</w:t></w:r></w:p>"
    "<w:p><w:pPr><w:sectPr/></w:pPr><w:r><w:t>section end</w:t></w:r></w:p>"
    "<w:p><w:r><w:t>last \xF0\x9D\x90\x80 para</w:t></w:r></w:p>";

// Spans, links, bookmarks, encoded spaces, a field, a table, a list, a
// section and a note.
constexpr const char* kRichOdt =
    "<text:h>Heading one</text:h>"
    "<text:p>alpha <text:span text:style-name=\"S\">beta  gamma</text:span><text:bookmark text:name=\"b\"/> delta"
    "<text:s text:c=\"3\"/>eps</text:p>"
    "<text:p>date <text:date>1.1.</text:date> then <text:a>link text</text:a> end<text:tab/>tab<text:line-break/>br</text:p>"
    "<table:table><table:table-row><table:table-cell><text:p>cell one</text:p><text:p>cell one b</text:p>"
    "</table:table-cell><table:table-cell><text:p>cell two</text:p></table:table-cell></table:table-row></table:table>"
    "<text:list><text:list-item><text:p>item one</text:p></text:list-item></text:list>"
    "<text:section text:name=\"s\"><text:p>in section <text:note><text:note-citation>1</text:note-citation>"
    "<text:note-body><text:p>note</text:p></text:note-body></text:note> after note</text:p></text:section>";

// Offsets are compared where the fresh read's XML nodes are cut as the
// edited ones are.
void expectSameStory(const StoryText& story, const StoryText& fresh, bool offsets = true)
{
    ASSERT_EQ(Utf8(story.visibleText()), Utf8(fresh.visibleText()));
    ASSERT_EQ(story.visiblePositions(), fresh.visiblePositions());
    ASSERT_EQ(story.size(), fresh.size());
    for (std::int64_t i = 0; i < story.size(); ++i) {
        const Unit& a = story.unit(i);
        const Unit& b = fresh.unit(i);
        ASSERT_TRUE(a.value == b.value && a.kind == b.kind && a.flags == b.flags && (!offsets || a.offset == b.offset))
            << "unit " << i;
    }
}

int outcome(const std::function<void()>& edit)
{
    try {
        edit();
    } catch (const ServerError& e) {
        return e.number();
    }
    return 0;
}

class ParagraphSplice : public ::testing::Test {
protected:
    int pick(int n) { return static_cast<int>(m_random() % static_cast<unsigned>(n)); }

    std::u16string randomText()
    {
        static const std::u16string pieces[] = {u"x", u"Y", u" ", u"  ", u"\t", u"\v", u"\u00e9", u"\U0001D400"};
        std::u16string text;
        for (int n = pick(4); n > 0; --n) text += pieces[pick(8)];
        return text;
    }

    // Makes `edits` random edits to `edited`, one session throughout, and
    // the same edits to a copy opened, edited and saved anew for each, so
    // that every edit of the copy works on a story and nodes read afresh.
    // Before each edit the two stories must agree; in the end so must the
    // saved main parts, and every other entry must be as it was.
    template <typename Format>
    void compareWithFreshSessions(const std::string& edited, const std::string& copy, const std::string& mainPart, int edits,
                                  bool sameNodes)
    {
        const auto original = test::RawEntries(edited);
        Format doc(edited);
        int accepted = 0;
        for (int edit = 0; edit < edits; ++edit) {
            const StoryText& story = doc.mainStory();
            const std::int64_t start = pick(static_cast<int>(story.size()) + 1);
            std::int64_t end = start;
            for (int n = pick(5); n > 0 && end < story.size() && IsEditableUnit(story.unit(end)); --n) ++end;
            const std::u16string text = randomText();

            Format fresh(copy);
            expectSameStory(story, fresh.mainStory(), sameNodes);
            if (HasFatalFailure()) FAIL() << "before edit " << edit;
            const int result = outcome([&] { doc.replace(start, end, text); });
            const int freshResult = outcome([&] { fresh.replace(start, end, text); });
            ASSERT_EQ(result, freshResult) << "edit " << edit;
            if (result == 0) {
                ++accepted;
                fresh.save();
            }
        }
        EXPECT_GT(accepted, edits / 3);
        EXPECT_EQ(doc.fullRereads(), 0u);
        doc.save();
        expectSameStory(doc.mainStory(), Format(edited).mainStory(), sameNodes);
        if (sameNodes) {
            EXPECT_EQ(test::EntryData(edited, mainPart), test::EntryData(copy, mainPart));
        }

        const auto saved = test::RawEntries(edited);
        ASSERT_EQ(saved.size(), original.size());
        for (std::size_t i = 0; i < saved.size(); ++i) {
            EXPECT_EQ(saved[i].first, original[i].first);
            if (saved[i].first != mainPart) {
                EXPECT_EQ(saved[i].second, original[i].second) << saved[i].first;
            }
        }
    }

    tarnwick::test::TempTree m_tree;
    std::mt19937 m_random{1307};
};

TEST_F(ParagraphSplice, DocxRandomEditsMatchFreshSessions)
{
    const std::string edited = test::WriteDocx(m_tree, "edited.docx", kRichDocx);
    const std::string copy = test::WriteDocx(m_tree, "copy.docx", kRichDocx);
    compareWithFreshSessions<DocxFormat>(edited, copy, "word/document.xml", 200, true);
}

TEST_F(ParagraphSplice, OdtRandomEditsMatchFreshSessions)
{
    const std::string edited = test::WriteOdt(m_tree, "edited.odt", kRichOdt);
    const std::string copy = test::WriteOdt(m_tree, "copy.odt", kRichOdt);
    // Character data written next to other character data is one node
    // once saved and read again, so the copy's nodes and offsets, and so
    // its XML, may be cut differently.
    compareWithFreshSessions<OdtFormat>(edited, copy, "content.xml", 200, false);
}

// A cell's last paragraph keeps its cell mark; many edits in one short
// document also make the table of nodes drop its unused entries often.
TEST_F(ParagraphSplice, EditsInCellsKeepCellMarks)
{
    const std::string path =
        test::WriteDocx(m_tree, "t.docx",
                        "<w:tbl><w:tr><w:tc><w:p><w:r><w:t>a</w:t></w:r></w:p><w:p><w:r><w:t>b</w:t></w:r></w:p></w:tc>"
                        "<w:tc><w:p><w:r><w:t>c</w:t></w:r></w:p></w:tc></w:tr></w:tbl><w:p><w:r><w:t>d</w:t></w:r></w:p>");
    DocxFormat doc(path);
    for (int round = 0; round < 50; ++round) {
        for (const char* cell : {"a", "b", "c", "d"}) {
            const std::int64_t at = PositionOf(doc.mainStory(), cell);
            doc.replace(at, at + 1, Utf16(cell));
        }
    }
    EXPECT_EQ(Visible(doc.mainStory()), "a\rb\r\ac\r\a\r\ad\r");
    doc.save();
    expectSameStory(doc.mainStory(), DocxFormat(path).mainStory());
    EXPECT_EQ(doc.fullRereads(), 0u);
}

// Where a paragraph's reading depends on what lies outside it, the whole
// story is read again, and the result is just as exact.
TEST_F(ParagraphSplice, ParagraphsThatDependOnTheirSurroundingsAreReadWithTheStory)
{
    // The result of a REF field runs over two paragraphs: the second one (and
    // its run), read alone, would not know its first words are a field result.
    const std::string docx =
        test::WriteDocx(m_tree, "field.docx",
                        "<w:p><w:r><w:t xml:space=\"preserve\">before </w:t></w:r><w:r><w:fldChar w:fldCharType=\"begin\"/></w:r>"
                        "<w:r><w:instrText> REF m </w:instrText></w:r><w:r><w:fldChar w:fldCharType=\"separate\"/></w:r>"
                        "<w:r><w:t>result one</w:t></w:r></w:p><w:p><w:r><w:t>result two</w:t>"
                        "<w:fldChar w:fldCharType=\"end\"/><w:t xml:space=\"preserve\"> after</w:t></w:r></w:p>");
    {
        DocxFormat doc(docx);
        std::int64_t at = PositionOf(doc.mainStory(), "before");
        doc.replace(at, at + 6, u"earlier");
        EXPECT_EQ(doc.fullRereads(), 0u);
        at = PositionOf(doc.mainStory(), "after");
        doc.replace(at, at + 5, u"later");
        EXPECT_EQ(doc.fullRereads(), 1u);
        doc.save();
        expectSameStory(doc.mainStory(), DocxFormat(docx).mainStory());
    }

    // A paragraph inside another one (in markup not understood): neither
    // paragraph element holds all the units up to its mark, so an insertion
    // (read with its paragraph) needs the story; a replacement's runs,
    // with the wrapper after them, can be read alone.
    const std::string odt =
        test::WriteOdt(m_tree, "nested.odt",
                       "<text:p>abc<x:wrap xmlns:x=\"urn:x\"><text:p>inner</text:p></x:wrap>def</text:p><text:p>last</text:p>");
    OdtFormat doc(odt);
    std::int64_t at = PositionOf(doc.mainStory(), "def");
    doc.replace(at, at, u"DEF");
    at = PositionOf(doc.mainStory(), "abc");
    doc.replace(at, at + 3, u"ABC");
    EXPECT_EQ(doc.fullRereads(), 1u);
    at = PositionOf(doc.mainStory(), "last");
    doc.replace(at, at + 4, u"LAST");
    EXPECT_EQ(doc.fullRereads(), 1u);
    EXPECT_EQ(Visible(doc.mainStory()), "ABCinner\rDEFdef\rLAST\r");
    doc.save();
    expectSameStory(doc.mainStory(), OdtFormat(odt).mainStory(), false);
}

// Regression: an edit whose XML could not be read back (here a run of
// spaces longer than the reader accepts as one text:s) used to throw
// without marking the document, so a later Save wrote a file that no
// longer opened.
TEST_F(ParagraphSplice, AnEditThatCannotBeReadBackIsNeverSaved)
{
    const std::string path = test::WriteOdt(m_tree, "spaces.odt", "<text:p>a b</text:p>");
    const std::string before = test::EntryData(path, "content.xml");
    OdtFormat doc(path);
    EXPECT_THROW(doc.replace(1, 2, std::u16string(kMaxSpaceCount + 10, u' ')), ServerError);
    EXPECT_EQ(outcome([&] { doc.replace(0, 1, u"b"); }), kErrorEditFailed);
    EXPECT_EQ(outcome([&] { doc.save(); }), kErrorSaveFailed);
    EXPECT_EQ(test::EntryData(path, "content.xml"), before);
}

}  // namespace
}  // namespace tarnwick::word
