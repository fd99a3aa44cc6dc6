#include <gtest/gtest.h>

#include "engine/inside/InsideError.h"
#include "engine/inside/PdfPages.h"
#include "tests/engine/inside/InsideTestSupport.h"
#include "tests/support/TempTree.h"

namespace tarnwick {
namespace {

using inside::InsideErrorKind;
using inside::PdfPages;

InsideErrorKind errorOf(const std::string& path)
{
    const Expected<PdfPages> pages = PdfPages::open(path);
    if (!pages) return inside::InsideKindOf(pages.error());
    ADD_FAILURE() << "no error for " << path;
    return InsideErrorKind::Damaged;
}

TEST(PdfPages, EachPageGivesItsOwnTextInReadingOrder)
{
    const Expected<PdfPages> pages = PdfPages::open(test::ConvertedByOffice("pages.fodt", "pdf"));
    ASSERT_TRUE(pages);
    ASSERT_EQ(pages.value().pageCount(), 2);
    const inside::TextPage first = pages.value().page(1).value();
    const inside::TextPage second = pages.value().page(2).value();
    EXPECT_EQ(first.name, "Seite 1");
    EXPECT_EQ(second.name, "Seite 2");
    const std::size_t hit = first.text.find("Erste Seite mit der Rechnung 17.");
    ASSERT_NE(hit, std::string::npos) << first.text;
    EXPECT_GT(first.text.find("Zweite Zeile der ersten Seite."), hit);
    EXPECT_EQ(first.text.find("Zweite Seite"), std::string::npos);
    // UTF-8, umlauts and ß as two bytes each.
    EXPECT_NE(second.text.find("Zweite Seite: Größe über alles."), std::string::npos) << second.text;
    EXPECT_EQ(second.text.find("Rechnung"), std::string::npos);
}

TEST(PdfPages, AFileThatIsNoReadablePdfIsAnError)
{
    const test::TempTree tree;
    EXPECT_EQ(errorOf(tree.write("broken.pdf", "%PDF-1.4\nthe rest is not a PDF\n")), InsideErrorKind::Damaged);
    EXPECT_EQ(errorOf(tree.path("missing.pdf")), InsideErrorKind::CannotOpen);
}

TEST(PdfPages, APdfThatNeedsAPasswordToBeOpenedIsEncrypted)
{
    const test::TempTree tree;
    // LibreOffice's PDF export with an opening password.
    const std::string options = R"('pdf:writer_pdf_Export:{"EncryptFile":{"type":"boolean","value":"true"},)"
                                R"("DocumentOpenPassword":{"type":"string","value":"geheim"}}')";
    ASSERT_EQ(test::RunIn(tree.root(),
                          "HOME=" + tree.path("home") + " soffice --headless --norestore --convert-to " + options + " " +
                              test::SourcePath("pages.fodt")),
              0);
    const std::string path = tree.path("pages.pdf");
    ASSERT_FALSE(test::ReadFile(path).empty());
    EXPECT_EQ(errorOf(path), InsideErrorKind::Encrypted);
    const Expected<PdfPages> pages = PdfPages::open(path);
    ASSERT_FALSE(pages);
    EXPECT_EQ(pages.error().detail, "Die PDF-Datei ist mit einem Kennwort geschützt und wird nicht durchsucht.");
}

}  // namespace
}  // namespace tarnwick
