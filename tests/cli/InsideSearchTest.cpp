// tarnwick-cli -z end to end: archives, compressed files and PDF made by the
// real tools, searched inside; replacing leaves them as they are.
#include "tests/cli/CliProcess.h"
#include "tests/engine/inside/InsideTestSupport.h"
#include "tests/support/TempTree.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace tarnwick::test {
namespace {

// outer.zip holds inner.tar.gz (a.txt, sub/b.log) and c.txt; app.log.gz a
// compressed log; plain.txt stays a file on disk.
void makeNestedTree(const TempTree& tree)
{
    tree.write("src/a.txt", "alpha needle one\nsecond needle\n");
    tree.write("src/sub/b.log", "nothing\nneedle here\n");
    tree.write("pack/c.txt", "c has a needle\n");
    tree.write("top/plain.txt", "plain needle\n");
    ASSERT_EQ(RunIn(tree.root(), "tar -C src -czf pack/inner.tar.gz a.txt sub/b.log"), 0);
    ASSERT_EQ(RunIn(tree.path("pack"), "zip -q ../top/outer.zip inner.tar.gz c.txt"), 0);
    ASSERT_EQ(RunIn(tree.root(), "printf 'log needle\\n' | gzip > top/app.log.gz"), 0);
}

TEST(CliInside, FindsHitsAtTheirPositionsInNestedArchivesTheSameWithEveryThreadCount)
{
    TempTree tree;
    makeNestedTree(tree);
    const std::string top = tree.path("top");
    const CliOutcome run = RunCli({"search", "-z", "--threads", "1", "needle", top});
    EXPECT_EQ(run.out,
              "Suche nach : needle\n" + top + "/app.log.gz » app.log; P: 4; L: 6; T: log needle\n" + top +
                  "/outer.zip » inner.tar.gz » a.txt; P: 6; L: 6; T: alpha needle one\n" + top +
                  "/outer.zip » inner.tar.gz » a.txt; P: 24; L: 6; T: second needle\n" + top +
                  "/outer.zip » inner.tar.gz » sub/b.log; P: 8; L: 6; T: needle here\n" + top +
                  "/outer.zip » c.txt; P: 8; L: 6; T: c has a needle\n" + top +
                  "/plain.txt; P: 6; L: 6; T: plain needle\n"
                  "Suche abgeschlossen. 6 Einträge in 5 Dateien  wurden gefunden.\n");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(RunCli({"search", "-z", "--threads", "2", "needle", top}).out, run.out);

    // Without -z the compressed bytes hold no hit.
    EXPECT_EQ(RunCli({"search", "needle", top}).out.find("»"), std::string::npos);

    // The file types filter the files inside; the archives themselves pass.
    const CliOutcome filtered = RunCli({"search", "-z", "-t", "*.log", "needle", top});
    EXPECT_EQ(BodyLines(filtered.out),
              (std::vector<std::string>{top + "/app.log.gz » app.log; P: 4; L: 6; T: log needle",
                                        top + "/outer.zip » inner.tar.gz » sub/b.log; P: 8; L: 6; T: needle here"}));
    // An archive the list names is searched whole.
    EXPECT_EQ(BodyLines(RunCli({"search", "-z", "-t", "*.gz", "needle", top}).out),
              std::vector<std::string>{top + "/app.log.gz » app.log; P: 4; L: 6; T: log needle"});
}

TEST(CliInside, EncryptedEntryAndDamagedTarAreErrorsAndTheWalkGoesOn)
{
    TempTree tree;
    tree.write("src/secret.txt", "secret needle\n");
    tree.write("src/open.txt", "open needle\n");
    tree.write("src/big.txt", std::string(200000, 'x') + "needle\n");
    tree.mkdir("top");
    ASSERT_EQ(RunIn(tree.path("src"), "zip -q -P pw ../top/a.zip secret.txt && zip -q ../top/a.zip open.txt"), 0);
    ASSERT_EQ(RunIn(tree.path("src"), "tar -cf ../top/b.tar open.txt big.txt && truncate -s 3000 ../top/b.tar"), 0);
    const std::string top = tree.path("top");

    const CliOutcome run = RunCli({"search", "-z", "needle", top});
    EXPECT_EQ(HitPositions(run.out), (std::vector<std::string>{"P: 5; L: 6", "P: 5; L: 6"}));
    EXPECT_NE(run.err.find(top + "/a.zip » secret.txt: Der Eintrag ist verschlüsselt und wird nicht durchsucht."),
              std::string::npos);
    EXPECT_NE(run.err.find(top + "/b.tar » big.txt: Der Eintrag ist beschädigt: "), std::string::npos);
    EXPECT_EQ(run.status, 2);
}

TEST(CliInside, LargeInnerFileIsSearchedInSplitChunksAsOnDisk)
{
    TempTree tree;
    // Hits at a chunk border, and an expression hit across one.
    std::string text(300000, 'x');
    text.replace(4094, 6, "needle");
    text.replace(250000, 12, "needle1needle");
    tree.write("disk/big.txt", text);
    tree.mkdir("top");
    ASSERT_EQ(RunIn(tree.path("disk"), "xz -k -c big.txt > ../top/big.txt.xz"), 0);
    for (const std::vector<std::string>& pattern : {std::vector<std::string>{"needle"}, {"-e", "ne+dle1?n"}}) {
        std::vector<std::string> inside{"search", "-z", "--split-length", "4096"};
        inside.insert(inside.end(), pattern.begin(), pattern.end());
        std::vector<std::string> onDisk = inside;
        inside.push_back(tree.path("top"));
        onDisk.push_back(tree.path("disk"));
        const std::vector<std::string> found = HitPositions(RunCli(inside).out);
        EXPECT_FALSE(found.empty());
        EXPECT_EQ(found, HitPositions(RunCli(onDisk).out));
    }
}

TEST(CliInside, ReplaceLeavesArchivesAndPdfByteIdenticalAndRemarksOnThem)
{
    if (!HasTool("soffice")) GTEST_SKIP() << "LibreOffice (soffice) is not installed";
    TempTree tree;
    makeNestedTree(tree);
    const std::string top = tree.path("top");
    std::filesystem::copy_file(ConvertedByOffice("pages.fodt", "pdf"), top + "/report.pdf");
    const std::string zip = ReadFile(top + "/outer.zip"), pdf = ReadFile(top + "/report.pdf");

    // The PDF page's hit is at its character position in that page's text.
    const CliOutcome found = RunCli({"search", "-z", "Größe", top});
    EXPECT_EQ(BodyLines(found.out),
              std::vector<std::string>{top + "/report.pdf » Seite 2; P: 14; L: 5; T: Zweite Seite: Größe über alles."});

    const CliOutcome run = RunCli({"replace", "-z", "--no-backup", "needle", "pin", top});
    EXPECT_EQ(ReadFile(top + "/outer.zip"), zip);
    EXPECT_EQ(ReadFile(top + "/report.pdf"), pdf);
    EXPECT_EQ(tree.read("top/plain.txt"), "plain pin\n");
    EXPECT_NE(run.out.find("In Archiven und PDF wird nicht ersetzt.: " + top + "/outer.zip\n"), std::string::npos);
    EXPECT_NE(run.out.find(top + "/outer.zip » c.txt; P: 8; L: 6; T: c has a needle\n"), std::string::npos);
    // Only the file on disk counts as replaced.
    EXPECT_NE(run.out.find("Ersetzen abgeschlossen.  1 Einträge in 1 Dateien wurden ersetzt."), std::string::npos);
    EXPECT_EQ(run.status, 0);

    const CliOutcome diff = RunCli({"replace", "-z", "--diff", "needle", "pin", top});
    EXPECT_EQ(ReadFile(top + "/outer.zip"), zip);
    EXPECT_EQ(diff.out.find("outer.zip"), std::string::npos);

    // The lower-case conversion renames the archive, never what it holds.
    tree.write("up/src/INNER.TXT", "x\n");
    ASSERT_EQ(RunIn(tree.path("up/src"), "zip -q ../PACK.ZIP INNER.TXT"), 0);
    const std::string packed = ReadFile(tree.path("up/PACK.ZIP"));
    RunCli({"lowercase", "-z", tree.path("up")});
    EXPECT_EQ(ReadFile(tree.path("up/pack.zip")), packed);
}

}  // namespace
}  // namespace tarnwick::test
