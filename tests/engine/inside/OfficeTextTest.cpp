#include <gtest/gtest.h>

#include "engine/inside/InsideError.h"
#include "engine/inside/OfficeText.h"
#include "tests/engine/inside/InsideTestSupport.h"
#include "tests/support/TempTree.h"

namespace tarnwick {
namespace {

using inside::TextPage;

// An OpenDocument package made of a flat source: the mimetype first, then
// the source as content.xml (its root holds office:body as content.xml's does).
std::string packFlat(const test::TempTree& tree, const std::string& source, const std::string& mimetype, const std::string& name)
{
    tree.write("flat/mimetype", mimetype);
    tree.write("flat/content.xml", test::ReadFile(test::SourcePath(source)));
    EXPECT_EQ(test::RunIn(tree.path("flat"), "zip -q -X -0 ../" + name + " mimetype && zip -q -X ../" + name + " content.xml"),
              0);
    return tree.path(name);
}

TEST(OfficeText, AnXlsxGivesEachSheetsStringsByItsName)
{
    const std::string path = test::ConvertedByOffice("book.fods", "xlsx");
    // LibreOffice keeps the strings of cells in the shared strings part.
    ASSERT_EQ(test::RunIn("/", "unzip -l '" + path + "' | grep -q xl/sharedStrings.xml"), 0);
    const std::vector<TextPage> sheets = inside::ReadSpreadsheetText(path).value();
    ASSERT_EQ(sheets.size(), 2u);
    EXPECT_EQ(sheets[0].name, "Tabelle1");
    // Numbers are stored unformatted and left out.
    EXPECT_EQ(sheets[0].text, "Rechnung\tMüller & Söhne\nRechnung\tzweite  Zeile\n");
    EXPECT_EQ(sheets[1].name, "Preise");
    EXPECT_EQ(sheets[1].text, "Rechnung\n");
}

TEST(OfficeText, AnOdsGivesEachTablesCellsAsShown)
{
    const test::TempTree tree;
    const std::string path = packFlat(tree, "book.fods", "application/vnd.oasis.opendocument.spreadsheet", "book.ods");
    const std::vector<TextPage> sheets = inside::ReadSpreadsheetText(path).value();
    ASSERT_EQ(sheets.size(), 2u);
    EXPECT_EQ(sheets[0].name, "Tabelle1");
    EXPECT_EQ(sheets[0].text, "Rechnung\t42\tMüller & Söhne\nRechnung\tzweite  Zeile\n");
    EXPECT_EQ(sheets[1].name, "Preise");
}

TEST(OfficeText, APresentationsSlidesComeInOrderWithoutTheirNotes)
{
    const test::TempTree tree;
    const std::string odp = packFlat(tree, "slides.fodp", "application/vnd.oasis.opendocument.presentation", "slides.odp");
    for (const std::string& path : {test::ConvertedByOffice("slides.fodp", "pptx"), odp}) {
        SCOPED_TRACE(path);
        const std::vector<TextPage> slides = inside::ReadPresentationText(path).value();
        ASSERT_EQ(slides.size(), 3u);
        EXPECT_EQ(slides[0].name, "Folie 1");
        EXPECT_EQ(slides[1].name, "Folie 2");
        EXPECT_EQ(slides[2].name, "Folie 3");
        EXPECT_EQ(slides[0].text, "Erste Folie: Einleitung\n");
        EXPECT_EQ(slides[1].text, "Zweite Folie: Rechnung\nmit zwei Absätzen\n");
        EXPECT_EQ(slides[2].text, "Dritte Folie: Schluss\n");
    }
}

TEST(OfficeText, ADamagedPackageIsAnErrorOfTheFile)
{
    const test::TempTree tree;
    const std::string path = tree.write("book.xlsx", "PK\x03\x04 cut short");
    const Expected<std::vector<inside::TextPage>> sheets = inside::ReadSpreadsheetText(path);
    ASSERT_FALSE(sheets) << "no error";
    EXPECT_EQ(inside::InsideKindOf(sheets.error()), inside::InsideErrorKind::Damaged);
    EXPECT_EQ(sheets.error().detail.rfind("Das Dokument ist beschädigt: ", 0), 0u);
}

}  // namespace
}  // namespace tarnwick
