// tarnwick-cli -L: the files whose contents do not hold the text, their
// summary and export, and the runs the option does not fit.
#include "engine/Messages.h"
#include "tests/cli/CliProcess.h"
#include "tests/support/TempTree.h"

#include <gtest/gtest.h>

namespace tarnwick::test {
namespace {

using Strings = std::vector<std::string>;

TEST(CliFilesWithoutMatch, PrintsThePathsOfTheFilesWithoutTheTextAndCountsThem)
{
    TempTree tree;
    tree.write("d/a.txt", "a needle");
    tree.write("d/B.txt", "hay");
    tree.write("d/sub/c.txt", "more hay");
    tree.write("d/sub/d.txt", "NEEDLE");
    const std::string dir = tree.path("d");

    const CliOutcome run = RunCli({"search", "-r", "-L", "needle", dir});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(BodyLines(run.out), (Strings{dir + "/B.txt", dir + "/sub/c.txt"})) << run.out;
    EXPECT_NE(run.out.find("\nSuche abgeschlossen. 2 Dateien ohne Treffer wurden aufgelistet.\n"), std::string::npos) << run.out;

    const std::string xml = tree.path("r.xml");
    ASSERT_EQ(RunCli({"search", "-r", "--files-without-match", "--out", xml, "needle", dir}).status, 0);
    const std::string saved = tree.read("r.xml");
    EXPECT_NE(saved.find("<HINWEIS>" + std::string(text::kListedWithoutHits) + "</HINWEIS>"), std::string::npos) << saved;
    EXPECT_NE(saved.find("dateien_gefunden=\"2\" eintraege_gefunden=\"0\""), std::string::npos) << saved;
    EXPECT_NE(saved.find("<DATEI pfad=\"" + dir + "/sub/c.txt\""), std::string::npos) << saved;
    EXPECT_EQ(saved.find(dir + "/a.txt"), std::string::npos) << saved;

    // Every file holds it: nothing listed, grep's status for "nothing found".
    const CliOutcome none = RunCli({"search", "-L", "e", tree.path("d/sub")});
    EXPECT_EQ(none.status, 1);
    EXPECT_TRUE(BodyLines(none.out).empty()) << none.out;
}

TEST(CliFilesWithoutMatch, ReplaceAndNameSearchesAreRefusedBeforeAnythingIsTouched)
{
    TempTree tree;
    const std::string file = tree.write("d/a.txt", "a needle");
    const std::string dir = tree.path("d");
    const auto before = TreeEntries(tree.root());

    const CliOutcome replace = RunCli({"replace", "-L", "needle", "pin", dir});
    EXPECT_EQ(replace.status, 2);
    EXPECT_EQ(replace.out, "");
    EXPECT_EQ(replace.err, std::string(text::kWithoutHitsNoReplace) + "\n");
    EXPECT_EQ(tree.read("d/a.txt"), "a needle");
    EXPECT_EQ(TreeEntries(tree.root()), before);

    const CliOutcome names = RunCli({"search", "-L", "--file-names", "needle", dir});
    EXPECT_EQ(names.status, 2);
    EXPECT_EQ(names.err, std::string(text::kWithoutHitsNeedsContents) + "\n");
}

// A document is without hits only when no part searched holds the text: the
// letter's "Briefkopf" stands in its header alone.
TEST(CliFilesWithoutMatch, ADocumentIsListedOnlyWhenNoPartSearchedHoldsTheText)
{
    TempTree tree;
    const std::string path = tree.write("d/parts.docx", ReadFile(std::string(TARNWICK_FIXTURE_DOCUMENTS) + "/parts.docx"));
    const CliOutcome mainText = RunCli({"search", "-L", "Briefkopf", tree.path("d")});
    EXPECT_EQ(mainText.status, 0) << mainText.err;
    EXPECT_EQ(BodyLines(mainText.out), Strings{path}) << mainText.out;
    const CliOutcome allParts = RunCli({"search", "-L", "--word-all-parts", "Briefkopf", tree.path("d")});
    EXPECT_EQ(allParts.status, 1) << allParts.out << allParts.err;
    EXPECT_TRUE(BodyLines(allParts.out).empty()) << allParts.out;
}

}  // namespace
}  // namespace tarnwick::test
