#include <gtest/gtest.h>

#include "engine/inside/InnerFileExtract.h"
#include "tests/engine/inside/InsideTestSupport.h"
#include "tests/support/TempTree.h"

namespace tarnwick {
namespace {

using inside::ExtractInnerFile;
using inside::InsideErrorKind;
using test::RunIn;
using test::TempTree;

InsideErrorKind errorOf(const std::string& composite, std::uint64_t maxBytes = kMaxExpandedTotal)
{
    const Expected<inside::InnerContent> content = ExtractInnerFile(composite, maxBytes);
    if (!content) return inside::InsideKindOf(content.error());
    ADD_FAILURE() << "no error for " << composite;
    return InsideErrorKind::Damaged;
}

TEST(InnerFileExtract, FollowsNestedArchivesToTheInnerFilesBytes)
{
    const TempTree tree;
    tree.write("pack/c.txt", "hit in c\n");
    tree.write("pack/sub/d.txt", "second file d\n");
    tree.write("log.txt", "a log line\n");
    ASSERT_EQ(
        RunIn(tree.path("pack"), "tar czf ../b.tar.gz c.txt sub && cd .. && gzip -k log.txt && zip -q a.zip b.tar.gz log.txt.gz"),
        0);
    // A folder whose name holds the separator: the file on disk is the longest prefix that is one.
    tree.write("x » y/readme", "not an archive\n");
    ASSERT_EQ(RunIn(tree.root(), "cp a.zip 'x » y/a.zip'"), 0);

    for (const std::string& zip : {tree.path("a.zip"), tree.path("x » y/a.zip")}) {
        SCOPED_TRACE(zip);
        const inside::InnerContent d = ExtractInnerFile(zip + " » b.tar.gz » sub/d.txt").value();
        EXPECT_EQ(d.bytes, "second file d\n");
        EXPECT_FALSE(d.isPageText);
        EXPECT_EQ(ExtractInnerFile(zip + " » b.tar.gz » c.txt").value().bytes, "hit in c\n");
        // A compressed file inside the zip: one inner file named without the suffix.
        EXPECT_EQ(ExtractInnerFile(zip + " » log.txt.gz » log.txt").value().bytes, "a log line\n");
    }
    EXPECT_EQ(inside::SplitAtOuterFile(tree.path("x » y/a.zip") + " » b.tar.gz » c.txt")->inner, "b.tar.gz » c.txt");

    EXPECT_EQ(errorOf(tree.path("a.zip") + " » b.tar.gz » gone.txt"), InsideErrorKind::CannotOpen);
    EXPECT_EQ(errorOf(tree.path("missing.zip") + " » c.txt"), InsideErrorKind::CannotOpen);
    EXPECT_EQ(errorOf(tree.path("a.zip") + " » b.tar.gz » c.txt", 4), InsideErrorKind::ExpandsTooFar);
    // Nothing was unpacked next to the archive.
    EXPECT_EQ(RunIn(tree.root(), "test $(ls | wc -l) -eq 6"), 0);
}

TEST(InnerFileExtract, ADamagedArchiveOnTheWayIsReportedAsSuch)
{
    const TempTree tree;
    std::string noise;
    for (int i = 0; i < 60000; ++i) noise += std::to_string(i * 7919 % 100003) + ",";
    tree.write("pack/noise.txt", noise);
    ASSERT_EQ(RunIn(tree.root(), "tar czf inner.tar.gz -C pack noise.txt && head -c 3000 inner.tar.gz > cut.tar.gz"), 0);
    EXPECT_EQ(errorOf(tree.path("cut.tar.gz") + " » noise.txt"), InsideErrorKind::Damaged);
}

TEST(InnerFileExtract, PdfPagesAndSheetsGiveTheirText)
{
    const inside::InnerContent page = ExtractInnerFile(test::ConvertedByOffice("pages.fodt", "pdf") + " » Seite 2").value();
    EXPECT_TRUE(page.isPageText);
    EXPECT_NE(page.bytes.find("Zweite Seite: Größe über alles."), std::string::npos) << page.bytes;
    EXPECT_EQ(errorOf(test::ConvertedByOffice("pages.fodt", "pdf") + " » Seite 3"), InsideErrorKind::CannotOpen);

    const inside::InnerContent sheet = ExtractInnerFile(test::ConvertedByOffice("book.fods", "xlsx") + " » Preise").value();
    EXPECT_TRUE(sheet.isPageText);
    EXPECT_NE(sheet.bytes.find("Rechnung"), std::string::npos) << sheet.bytes;
}

}  // namespace
}  // namespace tarnwick
