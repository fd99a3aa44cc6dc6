// OpenDocument text: reading white space and excluded content, replacing so
// that the text reads back exactly, and the package rules on saving.
#include "word/odt/OdtFormat.h"

#include "tests/word/WordFixtures.h"
#include "word/automation/WordErrors.h"

#include <gtest/gtest.h>

#include <random>

namespace tarnwick::word {
namespace {

using test::PositionOf;
using test::Utf16;
using test::Visible;

class Odt : public ::testing::Test {
protected:
    std::string write(std::string_view text) { return m_path = test::WriteOdt(m_tree, "t.odt", text); }
    tarnwick::test::TempTree m_tree;
    std::string m_path;
};

TEST_F(Odt, WhiteSpaceCollapsesLikeTheFormatSays)
{
    write("<text:p>  a \t b<text:s text:c=\"2\"/>c <text:span> d</text:span>\n e<text:tab/> f<text:line-break/>"
          "g <text:soft-page-break/> </text:p><text:h> <text:s/> x</text:h>");
    const OdtFormat doc(m_path);
    // Leading white space goes, runs collapse (also across spans), text:s,
    // text:tab and text:line-break count as they are, one trailing space stays.
    EXPECT_EQ(Visible(doc.mainStory()), "a b  c d e\t f\vg \r  x\r");
}

TEST_F(Odt, NotesCommentsAndFramesAreStoriesOfTheirOwnAndDeletionsAreDeletedText)
{
    write("<text:tracked-changes><text:changed-region text:id=\"c1\"><text:deletion><text:p>gone</text:p>"
          "<text:p>too</text:p></text:deletion></text:changed-region></text:tracked-changes><text:sequence-decls/>"
          "<text:p>x<text:note text:note-class=\"footnote\"><text:note-citation>1</text:note-citation>"
          "<text:note-body><text:p>body</text:p></text:note-body></text:note>y<text:change text:change-id=\"c1\"/>"
          "<office:annotation><text:p>comment</text:p></office:annotation>z"
          "<draw:frame text:anchor-type=\"as-char\"><draw:text-box><text:p>frame</text:p></draw:text-box></draw:frame>"
          "<draw:frame text:anchor-type=\"paragraph\"/><text:date>1.1.</text:date></text:p>"
          "<table:table><table:table-column/><table:table-row><table:table-cell><text:p>a</text:p></table:table-cell>"
          "<table:covered-table-cell/></table:table-row></table:table>"
          "<text:table-of-content><text:table-of-content-source/><text:index-body><text:p>toc</text:p>"
          "</text:index-body></text:table-of-content>");
    OdtFormat doc(m_path);
    const StoryText& story = doc.mainStory();
    // The deletion's two paragraphs at its marker: their join a deleted mark.
    EXPECT_EQ(Visible(story),
              "x\x02ygone\rtoo\x05z\x01\x08"
              "1.1.\ra\r\a\r\atoc\r");
    EXPECT_TRUE(story.units()[static_cast<std::size_t>(PositionOf(story, "1.1."))].flags & kInFieldResult);
    EXPECT_TRUE(story.units()[static_cast<std::size_t>(PositionOf(story, "toc"))].flags & kInFieldResult);
    for (std::int64_t i = PositionOf(story, "gone"); i < PositionOf(story, "too") + 3; ++i)
        EXPECT_TRUE(story.unit(i).flags & kDeleted) << i;
    EXPECT_THROW(doc.replace(PositionOf(story, "1.1."), PositionOf(story, "1.1.") + 1, u"2"), ServerError);
    EXPECT_THROW(doc.replace(PositionOf(story, "gone"), PositionOf(story, "gone") + 4, u"back"), ServerError);

    // The other stories, in search order.
    const std::vector<StoryId> ids = {
        {StoryKind::MainText, 1}, {StoryKind::Footnote, 1}, {StoryKind::Comment, 1}, {StoryKind::TextBox, 1}};
    EXPECT_EQ(doc.stories(), ids);
    EXPECT_EQ(Visible(doc.story(ids[1])), "body\r");
    EXPECT_EQ(Visible(doc.story(ids[2])), "comment\r");
    EXPECT_EQ(Visible(doc.story(ids[3])), "frame\r");
}

TEST_F(Odt, ReplacementSpacesAreWrittenSoThatTheyReadBack)
{
    write("<text:p>one <text:span text:style-name=\"B\">two</text:span> three</text:p>");
    const auto before = test::RawEntries(m_path);
    {
        OdtFormat doc(m_path);
        const std::int64_t two = PositionOf(doc.mainStory(), "two");
        doc.replace(two, two + 3, u" 2\t ");  // leading and trailing blanks next to blanks
        EXPECT_EQ(Visible(doc.mainStory()), "one  2\t  three\r");
        doc.replace(0, 3, u"");  // leaves a space at the paragraph start
        EXPECT_EQ(Visible(doc.mainStory()), "  2\t  three\r");
        doc.save();
    }
    EXPECT_EQ(Visible(OdtFormat(m_path).mainStory()), "  2\t  three\r");
    const std::string content = test::EntryData(m_path, "content.xml");
    EXPECT_NE(content.find("<text:span text:style-name=\"B\"><text:s/>2<text:tab/><text:s/></text:span>"), std::string::npos)
        << content;

    // mimetype stays the first entry, stored, its name at 30 and value at 38.
    const std::string bytes = tarnwick::test::ReadFile(m_path);
    EXPECT_EQ(bytes.substr(30, 8), "mimetype");
    EXPECT_EQ(bytes.substr(38, 39), "application/vnd.oasis.opendocument.text");
    EXPECT_EQ(bytes[8], '\0');
    const auto after = test::RawEntries(m_path);
    ASSERT_EQ(after.size(), before.size());
    for (std::size_t i = 0; i < after.size(); ++i)
        if (after[i].first != "content.xml") {
            EXPECT_EQ(after[i], before[i]);
        }
}

TEST_F(Odt, ManySpaceElementsCannotBlowASmallFileUpIntoGigabytes)
{
    // 300 elements of the largest allowed count: 19.6 million spaces from a
    // file of a few kilobytes. Refused as damaged instead of filling memory.
    std::string text = "<text:p>a";
    for (int i = 0; i < 300; ++i) text += "<text:s text:c=\"65536\"/>";
    write(text + "</text:p>");
    EXPECT_THROW(OdtFormat{m_path}, ServerError);
    // A real document's share of them is read as before.
    write("<text:p>a<text:s text:c=\"65536\"/>b</text:p>");
    EXPECT_EQ(OdtFormat(m_path).mainStory().size(), 65'539);
}

TEST_F(Odt, PartlyReplacedSpaceRunsKeepTheirOtherSpaces)
{
    write("<text:p>a<text:s text:c=\"4\"/>b<text:line-break/>c</text:p>");
    OdtFormat doc(m_path);
    doc.replace(2, 4, u"x");  // the middle two of four spaces
    EXPECT_EQ(Visible(doc.mainStory()), "a x b\vc\r");
    doc.replace(3, 6, u"");  // the remaining space, b and the line break
    EXPECT_EQ(Visible(doc.mainStory()), "a xc\r");
}

// Random paragraphs of words, literal white space, text:s, tabs and spans;
// random replacements (with blanks and tabs) of random spans. Every edit
// must read back exactly (replace() verifies it), and so must the saved file.
TEST_F(Odt, RandomEditsReadBackExactly)
{
    std::mt19937 random(20240611);
    auto pick = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
    const char* tokens[] = {"ab",
                            "Z",
                            " ",
                            "  ",
                            "\n",
                            "<text:s/>",
                            "<text:s text:c=\"3\"/>",
                            "<text:tab/>",
                            "<text:line-break/>",
                            "<text:bookmark text:name=\"b\"/>"};
    const char16_t alphabet[] = {u'q', u' ', u' ', u'\t', u'r'};
    for (int round = 0; round < 200; ++round) {
        std::string text;
        for (int p = 0; p < 2; ++p) {
            text += "<text:p>w";
            for (int t = pick(8); t > 0; --t) {
                const bool span = pick(4) == 0;
                if (span) text += "<text:span text:style-name=\"S\">";
                text += tokens[pick(10)];
                text += tokens[pick(10)];
                if (span) text += "</text:span>";
            }
            text += "</text:p>";
        }
        write(text);
        std::u16string expected;
        {
            OdtFormat doc(m_path);
            for (int edit = 0; edit < 4; ++edit) {
                const StoryText& story = doc.mainStory();
                const std::int64_t start = pick(static_cast<int>(story.size()));
                std::int64_t end = start;
                for (int n = pick(4); n > 0 && story.units()[end].kind != UnitKind::ParagraphEnd; --n) ++end;
                std::u16string with;
                for (int k = pick(4); k > 0; --k) with.push_back(alphabet[pick(5)]);
                try {
                    doc.replace(start, end, with);
                } catch (const ServerError& e) {
                    // Only an insertion with no text around it may be refused.
                    ASSERT_EQ(start, end) << "round " << round << ": " << e.description() << "\n" << text;
                }
            }
            for (const Unit& unit : doc.mainStory().units()) expected.push_back(unit.value);
            doc.save();
        }
        std::u16string reread;
        const OdtFormat saved(m_path);
        for (const Unit& unit : saved.mainStory().units()) reread.push_back(unit.value);
        ASSERT_EQ(test::Utf8(reread), test::Utf8(expected)) << "round " << round << "\n" << text;
    }
}

TEST_F(Odt, EncryptedAndNonTextPackagesAreRefused)
{
    auto entries = test::OdtEntries(test::ContentXml("<text:p>x</text:p>"));
    entries[3].data = "<manifest:manifest xmlns:manifest=\"urn:oasis:names:tc:opendocument:xmlns:manifest:1.0\">"
                      "<manifest:file-entry manifest:full-path=\"content.xml\" manifest:media-type=\"text/xml\">"
                      "<manifest:encryption-data manifest:checksum=\"x\"/></manifest:file-entry></manifest:manifest>";
    test::WriteZip(m_tree.path("enc.odt"), entries);
    try {
        OdtFormat doc(m_tree.path("enc.odt"));
        FAIL() << "opened an encrypted package";
    } catch (const ServerError& e) {
        EXPECT_EQ(e.number(), kErrorEncrypted);
    }
    auto sheet = test::OdtEntries(test::ContentXml(""));
    sheet[0].data = "application/vnd.oasis.opendocument.spreadsheet";
    test::WriteZip(m_tree.path("sheet.ods"), sheet);
    EXPECT_THROW(OdtFormat(m_tree.path("sheet.ods")), ServerError);
}

}  // namespace
}  // namespace tarnwick::word
