// Contexts of hits in real document files (the built-in component), for
// every format: each one shows its hit at the highlight offset, whatever
// hidden field codes, cell marks or anchors lie around it.
#include "engine/documents/WordDocumentEngine.h"

#include "tests/support/ReplaceFixture.h"
#include "tests/support/TempTree.h"
#include "tests/word/WordFixtures.h"
#include "word/automation/Automation.h"

#include <gtest/gtest.h>

namespace tarnwick::test {
namespace {

// "Ziel" in a heading, a table cell, a nested table's cell, a list item,
// a hyperlink's text, after a footnote mark and in a field's result; also
// in a footnote and a header, which are not main text.
std::string docxDocument(const TempTree& tree)
{
    const std::string body =
        "<w:p><w:pPr><w:pStyle w:val=\"Heading1\"/></w:pPr><w:r><w:t>Ziel H</w:t></w:r></w:p>"
        "<w:tbl><w:tr><w:tc><w:p><w:r><w:t>Ziel A</w:t></w:r></w:p></w:tc><w:tc><w:tbl><w:tr><w:tc><w:p><w:r>"
        "<w:t>Ziel B</w:t></w:r></w:p></w:tc></w:tr></w:tbl><w:p/></w:tc></w:tr></w:tbl>"
        "<w:p><w:pPr><w:numPr><w:ilvl w:val=\"0\"/><w:numId w:val=\"1\"/></w:numPr></w:pPr><w:r><w:t>Ziel C</w:t></w:r></w:p>"
        "<w:p><w:r><w:t xml:space=\"preserve\">Siehe </w:t></w:r><w:hyperlink r:id=\"rLink\"><w:r><w:t>Ziel D</w:t></w:r>"
        "</w:hyperlink><w:r><w:t xml:space=\"preserve\"> online</w:t></w:r></w:p>"
        "<w:p><w:r><w:t>Anmerkung</w:t></w:r><w:r><w:footnoteReference w:id=\"1\"/></w:r><w:r>"
        "<w:t xml:space=\"preserve\"> Ziel E</w:t></w:r></w:p>"
        "<w:p><w:r><w:t xml:space=\"preserve\">Stand </w:t></w:r><w:r><w:fldChar w:fldCharType=\"begin\"/></w:r><w:r>"
        "<w:instrText xml:space=\"preserve\"> REF Marke \\h </w:instrText></w:r><w:r><w:fldChar w:fldCharType=\"separate\"/>"
        "</w:r><w:r><w:t>Ziel G</w:t></w:r><w:r><w:fldChar w:fldCharType=\"end\"/></w:r></w:p>"
        "<w:p><w:r><w:t>Ende</w:t></w:r></w:p>";
    const std::string w = "xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/2006/main\"";
    auto entries = word::test::DocxEntries(word::test::DocumentXml(body));
    entries.push_back({"word/header1.xml", "<w:hdr " + w + "><w:p><w:r><w:t>Ziel im Kopf</w:t></w:r></w:p></w:hdr>"});
    entries.push_back({"word/footnotes.xml",
                       "<w:footnotes " + w +
                           "><w:footnote w:id=\"1\"><w:p><w:r><w:t>Ziel im Fuß</w:t></w:r></w:p>"
                           "</w:footnote></w:footnotes>"});
    const std::string path = tree.path("brief.docx");
    word::test::WriteZip(path, entries);
    return path;
}

std::string odtDocument(const TempTree& tree)
{
    const std::string text =
        "<text:h text:outline-level=\"1\">Ziel H</text:h>"
        "<table:table><table:table-column table:number-columns-repeated=\"2\"/><table:table-row>"
        "<table:table-cell><text:p>Ziel A</text:p></table:table-cell><table:table-cell><table:table><table:table-row>"
        "<table:table-cell><text:p>Ziel B</text:p></table:table-cell></table:table-row></table:table><text:p/>"
        "</table:table-cell></table:table-row></table:table>"
        "<text:list><text:list-item><text:p>Ziel C</text:p></text:list-item></text:list>"
        "<text:p>Siehe <text:a xmlns:xlink=\"http://www.w3.org/1999/xlink\" xlink:href=\"https://example.org/\">Ziel D</text:a>"
        " online</text:p>"
        "<text:p>Anmerkung<text:note text:note-class=\"footnote\"><text:note-citation>1</text:note-citation>"
        "<text:note-body><text:p>Ziel im Fuß</text:p></text:note-body></text:note> Ziel E</text:p>"
        "<text:p>Stand <text:bookmark-ref text:reference-format=\"text\" text:ref-name=\"Marke\">Ziel G</text:bookmark-ref>"
        "</text:p><text:p>Ende</text:p>";
    auto entries = word::test::OdtEntries(word::test::ContentXml(text));
    for (auto& entry : entries) {
        if (entry.name != "styles.xml") continue;
        entry.data = "<?xml version=\"1.0\" encoding=\"UTF-8\"?><office:document-styles "
                     "xmlns:office=\"urn:oasis:names:tc:opendocument:xmlns:office:1.0\" "
                     "xmlns:style=\"urn:oasis:names:tc:opendocument:xmlns:style:1.0\" "
                     "xmlns:text=\"urn:oasis:names:tc:opendocument:xmlns:text:1.0\"><office:master-styles>"
                     "<style:master-page style:name=\"Standard\"><style:header><text:p>Ziel im Kopf</text:p></style:header>"
                     "</style:master-page></office:master-styles></office:document-styles>";
    }
    const std::string path = tree.path("brief.odt");
    word::test::WriteZip(path, entries);
    return path;
}

std::string rtfDocument(const TempTree& tree)
{
    return tree.write(
        "brief.rtf",
        "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}}{\\stylesheet{\\s1 heading 1;}}\n"
        "{\\header \\pard Ziel im Kopf\\par}\n"
        "\\pard\\s1 Ziel H\\par\n"
        "\\trowd\\cellx3000\\cellx6000\\pard\\intbl\\itap1 Ziel A\\cell\n"
        "\\pard\\intbl\\itap2 Ziel B\\nestcell{\\*\\nesttableprops\\trowd\\cellx2000\\nestrow}{\\nonesttables\\par}\n"
        "\\pard\\intbl\\itap1\\cell\\row\n"
        "\\pard\\ls1{\\listtext \\'95\\tab}Ziel C\\par\n"
        "\\pard Siehe {\\field{\\*\\fldinst HYPERLINK \"https://example.org/\"}{\\fldrslt Ziel D}} online\\par\n"
        "\\pard Anmerkung{\\super\\chftn{\\footnote\\pard{\\super\\chftn} Ziel im Fu\\'df}} Ziel E\\par\n"
        "\\pard Stand {\\field{\\*\\fldinst REF Marke \\\\h}{\\fldrslt Ziel G}}\\par\n"
        "\\pard Ende\\par}\n");
}

class DocumentContexts : public ::testing::TestWithParam<const char*> {
protected:
    std::string document()
    {
        const std::string format = GetParam();
        if (format == "docx") return docxDocument(m_tree);
        if (format == "odt") return odtDocument(m_tree);
        return rtfDocument(m_tree);
    }

    TempTree m_tree;
};

TEST_P(DocumentContexts, EveryContextShowsItsHitAtTheHighlight)
{
    const std::string path = document();
    SearchJob job = TestJob();
    job.contextLength = 30;
    ReplaceFixture fixture(job, "Ziel", "");
    WordDocumentEngine engine(&word::CreateFileApplication);
    engine.searchDocument(fixture.run(), path);
    ASSERT_TRUE(fixture.errors().empty()) << fixture.errors()[0].second;

    // Footnote and header are no main text.
    const std::vector<std::string> places = {"Ziel H", "Ziel A", "Ziel B", "Ziel C", "Ziel D", "Ziel E", "Ziel G"};
    const auto hits = fixture.hits();
    ASSERT_EQ(hits.size(), places.size());
    for (std::size_t i = 0; i < hits.size(); ++i) {
        const HitRecord& hit = hits[i];
        SCOPED_TRACE(places[i] + " in \"" + hit.context + "\"");
        EXPECT_EQ(hit.context.substr(static_cast<std::size_t>(hit.highlightStart), static_cast<std::size_t>(hit.highlightLength)),
                  "Ziel");
        EXPECT_EQ(hit.context.substr(static_cast<std::size_t>(hit.highlightStart), 6), places[i]);
        for (const char c : hit.context) EXPECT_GE(static_cast<unsigned char>(c), 0x20u);
        EXPECT_EQ(hit.context.find("HYPERLINK"), std::string::npos);
        EXPECT_EQ(hit.context.find("REF"), std::string::npos);
    }
    // The first hit begins the text: nothing of its line is left out, so no "..." in front.
    EXPECT_EQ(hits[0].context, "Ziel H");
    // A hit in a cell shows its cell's text, and nothing of its neighbours.
    EXPECT_EQ(hits[1].context, "Ziel A");
    EXPECT_EQ(hits[2].context, "Ziel B");
}

INSTANTIATE_TEST_SUITE_P(Formats, DocumentContexts, ::testing::Values("docx", "odt", "rtf"));

// A character beyond U+FFFF counts two positions in the document but stays
// itself (four bytes) in a UTF-8 context, found and replaced like any other.
TEST(DocumentContext, ACharacterBeyondTheBasicPlaneIsKeptFoundAndReplaced)
{
    TempTree tree;
    const std::string path = tree.path("gruss.docx");
    const std::string smile = "\xF0\x9F\x98\x80";
    word::test::WriteZip(
        path,
        word::test::DocxEntries(word::test::DocumentXml("<w:p><w:r><w:t>Gru\xC3\x9F " + smile + " Ziel</w:t></w:r></w:p>")));
    SearchJob job = TestJob();
    job.makeBackup = false;
    WordDocumentEngine engine(&word::CreateFileApplication);
    auto shown = [](const HitRecord& hit) {
        return hit.context.substr(static_cast<std::size_t>(hit.highlightStart), static_cast<std::size_t>(hit.highlightLength));
    };

    ReplaceFixture target(job, "Ziel", "");
    engine.searchDocument(target.run(), path);
    ASSERT_EQ(target.hits().size(), 1u);
    const HitRecord hit = target.hits()[0];
    EXPECT_EQ(hit.position, 8);  // G r u \u00DF blank, two units, blank
    EXPECT_EQ(hit.length, 4);
    EXPECT_NE(hit.context.find("Gru\xC3\x9F " + smile + " Ziel"), std::string::npos) << hit.context;
    EXPECT_EQ(shown(hit), "Ziel");

    ReplaceFixture character(job, smile, "\xF0\x9F\x99\x82");
    engine.searchDocument(character.run(), path);
    ASSERT_EQ(character.hits().size(), 1u);
    EXPECT_EQ(character.hits()[0].position, 5);
    EXPECT_EQ(character.hits()[0].length, 2);
    EXPECT_EQ(shown(character.hits()[0]), smile);

    engine.replaceDocument(character.run(), path);
    auto application = word::CreateFileApplication();
    EXPECT_EQ(application->GetDocuments().Open(path, false, true, false).StoryRange(word::kMainTextStory).Text(),
              u"Gru\u00DF \U0001F642 Ziel\r");
}

}  // namespace
}  // namespace tarnwick::test
