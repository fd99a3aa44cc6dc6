// Replacing in real document files (the built-in component): a hyperlink's
// text is replaced in every format, and an occurrence the document does not
// let change is skipped on its own.
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
    engine.ReplaceDocument(fixture.run(), path);

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
    EXPECT_NE(fixture.runLog().Text().find(refusal + ": " + path + "; P: " + position + "\r\n"), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(Formats, DocumentReplace, ::testing::Values("docx", "rtf"));

}  // namespace
}  // namespace tarnwick::test
