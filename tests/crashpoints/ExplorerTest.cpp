// The driver end to end on stand-ins for tarnwick-cli: one that journals
// first and renames into place passes at every crash point; one that
// overwrites in place without a journal is caught, in the report's words.
#include <gtest/gtest.h>

#include <sstream>

#include "crashpoints/driver/ScenarioExplorer.h"
#include "tests/support/TempTree.h"

namespace tarnwick::crashpoints {
namespace {

Scenario fakeScenario(const std::string& mode)
{
    Scenario scenario;
    scenario.name = mode;
    scenario.build = [](const std::string& root) {
        WriteFile(root + "/tree/a.txt", "alpha one\n");
        WriteFile(root + "/tree/b.txt", "two alpha\n", 0600);
        WriteFile(root + "/tree/c.txt", "nothing\n");
    };
    scenario.arguments = {"replace", mode, "{tree}"};
    scenario.newName = [](const std::string& name, bool) { return name; };
    return scenario;
}

std::string explore(const std::string& mode, std::uint64_t& violations)
{
    test::TempTree tree;
    ExploreOptions options;
    options.cli = TARNWICK_FAKE_CLI_PATH;
    options.shim = TARNWICK_CRASHSHIM_PATH;
    options.workFolder = tree.root();
    std::ostringstream out;
    FindingReport report(out);
    ScenarioExplorer(options, report, out).explore(fakeScenario(mode));
    report.printSummary();
    violations = report.violations();
    return out.str();
}

TEST(CrashExplorer, AProgramThatJournalsFirstAndRenamesIntoPlacePassesEveryCrashPoint)
{
    std::uint64_t violations = 0;
    const std::string out = explore("careful", violations);
    EXPECT_EQ(violations, 0u) << out;
    // mkdir and unlink of the state, then per file: the old contents (open,
    // write, fsync), the journal line (open, write, fsync), the temporary
    // file (open, fchmod, write, fsync), rename.
    EXPECT_NE(out.find("48 crash points explored, 0 violations found"), std::string::npos) << out;
}

TEST(CrashExplorer, AProgramThatOverwritesInPlaceIsCaught)
{
    std::uint64_t violations = 0;
    const std::string out = explore("careless", violations);
    EXPECT_GT(violations, 0u);
    EXPECT_NE(
        out.find("VIOLATION careless K=3 after write(fd 4 tree/a.txt, 4): at the crash: tree/a.txt holds neither its old nor "
                 "its new contents (the first 4 of 10 bytes of its new contents)"),
        std::string::npos)
        << out;
    EXPECT_NE(out.find("careless K=3 before write(fd 4 tree/a.txt, 4): after undo: exit status 1, expected exit status 0 (the "
                       "crash left changes)"),
              std::string::npos)
        << out;
    EXPECT_NE(out.find("after undo: tree/a.txt keeps its new contents, expected the old"), std::string::npos) << out;
    EXPECT_NE(out.find("after undo: keeps the new contents"), std::string::npos) << out;
}

}  // namespace
}  // namespace tarnwick::crashpoints
