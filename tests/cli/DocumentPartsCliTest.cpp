// --word-all-parts end to end on a letter written by LibreOffice (the
// fixture of tests/word_fixtures): the hit lines name the parts, --diff
// shows each changed paragraph with its part, and undo takes a replace in
// every part back byte for byte.
#include "tests/cli/CliProcess.h"
#include "tests/support/TempTree.h"

#include <gtest/gtest.h>

namespace tarnwick::test {

TEST(CliDocumentParts, HitsNamePartsAndDiffAndUndoCoverEveryPart)
{
    TempTree tree;
    const std::string original = ReadFile(std::string(TARNWICK_FIXTURE_DOCUMENTS) + "/parts.docx");
    const std::string path = tree.write("d/parts.docx", original);
    CliOptions options;
    options.stateHome = tree.path("state");

    const CliOutcome mainOnly = RunCliWith({"search", "Rechnung", tree.path("d")}, options);
    EXPECT_EQ(HitPositions(mainOnly.out), (std::vector<std::string>{"P: 4; L: 8", "P: 153; L: 8"}));
    const CliOutcome search = RunCliWith({"search", "--word-all-parts", "Rechnung", tree.path("d")}, options);
    EXPECT_EQ(search.status, 0);
    EXPECT_NE(search.out.find("; P: Kopfzeile: 14; L: 8; T: Briefkopf zur Rechnung\n"), std::string::npos) << search.out;
    EXPECT_NE(search.out.find("; P: Fußnote 1: 2; L: 8; T: "), std::string::npos) << search.out;
    EXPECT_NE(search.out.find("9 Einträge in 1 Dateien"), std::string::npos) << search.out;

    const CliOutcome diff =
        RunCliWith({"replace", "--diff", "--no-backup", "--word-all-parts", "Rechnung", "Beleg", tree.path("d")}, options);
    EXPECT_EQ(diff.status, 0);
    EXPECT_NE(diff.out.find("# Dokument parts.docx: 9 Ersetzungen, nicht im Diff\n"), std::string::npos) << diff.out;
    for (const char* line : {"#   - Kopfzeile: Briefkopf zur Rechnung\n", "#   + Kopfzeile: Briefkopf zur Beleg\n",
                             "#   + Textfeld 2: Beleg im Textfeld\n", "#   + Fußzeile: Fußzeile der Beleg\n"})
        EXPECT_NE(diff.out.find(line), std::string::npos) << line << diff.out;
    EXPECT_EQ(ReadFile(path), original);

    ASSERT_EQ(RunCliWith({"replace", "--no-backup", "--word-all-parts", "Rechnung", "Beleg", tree.path("d")}, options).status, 0);
    EXPECT_EQ(RunCliWith({"search", "--word-all-parts", "Rechnung", tree.path("d")}, options).status, 1);
    const CliOutcome undo = RunCliWith({"undo"}, options);
    EXPECT_EQ(undo.status, 0) << undo.err;
    EXPECT_EQ(ReadFile(path), original);
}

}  // namespace tarnwick::test
