// Replacing in real document files (the built-in component): a hyperlink's
// text is replaced in every format, an occurrence the document does not let
// change is skipped on its own, and so is a part that cannot be read.
#include "engine/documents/WordDocumentEngine.h"

#include "tests/support/ReplaceFixture.h"
#include "tests/support/TempTree.h"
#include "tests/word/WordFixtures.h"
#include "word/automation/Automation.h"

#include <gtest/gtest.h>

namespace tarnwick::test {
namespace {

std::u16string mainText(const std::string& path)
{
    auto application = word::CreateFileApplication();
    word::Range& range = application->GetDocuments().Open(path, false, true, false).StoryRange(word::kMainTextStory);
    return range.Text();
}

class DocumentReplace : public ::testing::TestWithParam<const char*> {};

TEST_P(DocumentReplace, ARefusedOccurrenceIsSkippedAndTheOthersAreReplacedAndSaved)
{
    TempTree tree;
    std::string path;
    std::string refusal;
    std::string position;  // of the refused occurrence, field characters and code counted
    if (GetParam() == std::string("rtf")) {
        // The first occurrence is a REF field's result, which the field would write anew.
        path = tree.write("brief.rtf",
                          "{\\rtf1\\ansi{\\field{\\*\\fldinst REF Marke}{\\fldrslt Ziel}} und Ziel, siehe "
                          "{\\field{\\*\\fldinst HYPERLINK \"https://example.org/\"}{\\fldrslt Ziel}}. Ziel\\par}");
        refusal = "Laufzeitfehler '5010':Der Text ist ein Feldergebnis und wird nicht ersetzt.";
        position = "11";
    } else {
        // The first occurrence is a tracked deletion.
        path = tree.path("brief.docx");
        word::test::WriteZip(path,
                             word::test::DocxEntries(word::test::DocumentXml(
                                 "<w:p><w:del><w:r><w:delText>Ziel</w:delText></w:r></w:del><w:r>"
                                 "<w:t xml:space=\"preserve\"> und Ziel, siehe </w:t></w:r><w:hyperlink r:id=\"rLink\">"
                                 "<w:r><w:t>Ziel</w:t></w:r></w:hyperlink><w:r><w:t>. Ziel</w:t></w:r></w:p>")));
        refusal = "Laufzeitfehler '5010':Der Text ist eine nachverfolgte Löschung und wird nicht ersetzt.";
        position = "0";
    }
    SearchJob job = TestJob();
    job.makeBackup = false;
    ReplaceFixture fixture(job, "Ziel", "Ort");
    WordDocumentEngine engine(&word::CreateFileApplication);
    engine.replaceDocument(fixture.run(), path);

    EXPECT_NE(mainText(path).find(u"Ziel und Ort, siehe Ort. Ort\r"), std::u16string::npos) << word::test::Utf8(mainText(path));
    EXPECT_EQ(fixture.counters().hits.load(), 3);
    EXPECT_EQ(fixture.counters().files.load(), 1);
    // One error item, under the document's item, names the occurrence; the
    // document's hits follow it there.
    const ResultList& results = fixture.results();
    const ItemHandle file = results.FirstTopLevelItem();
    ASSERT_EQ(results.Kind(file), ItemKind::Document);
    EXPECT_EQ(results.NextSibling(file), kNoItem);
    const ItemHandle refused = results.FirstChild(file);
    ASSERT_EQ(results.Kind(refused), ItemKind::Error);
    EXPECT_EQ(results.ColumnText(refused, ResultColumn::Position), position);
    EXPECT_EQ(results.ColumnText(refused, ResultColumn::Remark), refusal);
    std::size_t hits = 0;
    for (ItemHandle hit = results.NextSibling(refused); hit != kNoItem; hit = results.NextSibling(hit)) {
        EXPECT_NE(results.Kind(hit), ItemKind::Error);
        ++hits;
    }
    EXPECT_EQ(hits, 3u);
    EXPECT_NE(fixture.runLog().text().find(refusal + ": " + path + "; P: " + position + "\r\n"), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(Formats, DocumentReplace, ::testing::Values("docx", "rtf"));

// "Schreibweise der Treffer übernehmen" in a document: each hit's own case,
// instead of the component's carrying over of capitals only.
TEST(DocumentReplacePreservingCase, EachHitGivesItsCaseToItsReplacement)
{
    TempTree tree;
    const std::string path = tree.path("brief.docx");
    word::test::WriteZip(
        path, word::test::DocxEntries(word::test::DocumentXml("<w:p><w:r><w:t>ziel Ziel ZIEL zIEL</w:t></w:r></w:p>")));
    SearchJob job = TestJob();
    job.makeBackup = false;
    job.preserveCase = true;
    ReplaceFixture fixture(job, "ziel", "oRT");
    WordDocumentEngine engine(&word::CreateFileApplication);
    engine.replaceDocument(fixture.run(), path);
    EXPECT_NE(mainText(path).find(u"ort ORT ORT oRT\r"), std::u16string::npos) << word::test::Utf8(mainText(path));
}

// Two headers, of which the second is not well-formed XML: every part is
// searched, the hits of the readable ones are listed as usual and the
// damaged header is one error item that names it; a replace changes the
// readable parts and leaves the damaged one byte for byte as it was.
TEST(DocumentParts, AnUnreadablePartIsAnErrorItemOfItsOwnAndIsNeverWritten)
{
    TempTree tree;
    const std::string path = tree.path("brief.docx");
    const std::string w = "xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/2006/main\"";
    const auto header = [](const std::string& id, const std::string& target) {
        return "<Relationship Id=\"" + id +
            "\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/header\" Target=\"" + target + "\"/>";
    };
    auto entries = word::test::DocxEntries(word::test::DocumentXml(
        "<w:p><w:r><w:t>Rechnung eins</w:t></w:r></w:p><w:sectPr><w:headerReference w:type=\"default\" r:id=\"rH1\"/>"
        "<w:headerReference w:type=\"first\" r:id=\"rH2\"/></w:sectPr>"));
    for (word::test::ZipEntry& entry : entries)
        if (entry.name == "word/_rels/document.xml.rels")
            entry.data.insert(entry.data.find("</Relationships>"), header("rH1", "header1.xml") + header("rH2", "header2.xml"));
    entries.push_back({"word/header1.xml", "<w:hdr " + w + "><w:p><w:r><w:t>Kopf Rechnung</w:t></w:r></w:p></w:hdr>"});
    entries.push_back({"word/header2.xml", "<w:hdr " + w + "><w:p><w:r><w:t>Rechnung</w:t></w:r></w:hdr>"});
    word::test::WriteZip(path, entries);
    const auto rawHeader = [&] {
        for (const auto& [name, raw] : word::test::RawEntries(path))
            if (name == "word/header2.xml") return raw;
        return std::string();
    };
    const std::string damaged = rawHeader();
    const std::string error = "Kopfzeile 2: Laufzeitfehler '5002':Das Dokument ist beschädigt: der Dokumentteil "
                              "word/header2.xml ist kein wohlgeformtes XML (";

    SearchJob job = TestJob();
    job.wordAllParts = true;
    job.makeBackup = false;
    const auto positions = [](const ResultList& results) {
        std::vector<std::string> out;
        const ItemHandle file = results.FirstTopLevelItem();
        for (ItemHandle hit = results.FirstChild(file); hit != kNoItem; hit = results.NextSibling(hit))
            out.push_back(results.ColumnText(hit, ResultColumn::Position));
        return out;
    };
    WordDocumentEngine engine(&word::CreateFileApplication);
    ReplaceFixture search(job, "Rechnung", "");
    engine.searchDocument(search.run(), path);
    EXPECT_EQ(positions(search.results()), (std::vector<std::string>{"Kopfzeile 1: 5", "0"}));
    ASSERT_EQ(search.errors().size(), 1u);
    EXPECT_EQ(search.errors()[0].first, path);
    EXPECT_EQ(search.errors()[0].second.rfind(error, 0), 0u) << search.errors()[0].second;
    EXPECT_NE(search.runLog().text().find(error), std::string::npos);

    ReplaceFixture replace(job, "Rechnung", "Beleg");
    engine.replaceDocument(replace.run(), path);
    EXPECT_EQ(replace.counters().hits.load(), 2);
    ASSERT_EQ(replace.errors().size(), 1u);
    EXPECT_EQ(replace.errors()[0].second.rfind(error, 0), 0u) << replace.errors()[0].second;
    EXPECT_EQ(mainText(path), u"Beleg eins\r");
    EXPECT_NE(word::test::EntryData(path, "word/header1.xml").find("Kopf Beleg"), std::string::npos);
    EXPECT_EQ(rawHeader(), damaged);
}

}  // namespace
}  // namespace tarnwick::test
