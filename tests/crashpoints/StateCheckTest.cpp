// The judgement of a tree against what a run should leave: which states are
// allowed at a crash, after undo and after the command run again, and what
// is reported otherwise. Trees are made up here, as snapshots.
#include <gtest/gtest.h>

#include <algorithm>

#include "crashpoints/driver/ExpectedTree.h"
#include "crashpoints/driver/StateCheck.h"

namespace tarnwick::crashpoints {
namespace {

EntryState folder(std::uint64_t inode) { return {EntryKind::Folder, "", inode, 2, 0755}; }
EntryState file(std::string bytes, std::uint64_t inode, std::uint32_t mode = 0644, std::uint64_t links = 1)
{
    return {EntryKind::File, std::move(bytes), inode, links, mode};
}

Scenario namesScenario()
{
    Scenario scenario;
    scenario.name = "made-up";
    scenario.newName = [](const std::string& name, bool) {
        std::string renamed = name;
        if (const auto at = renamed.find("alpha"); at != std::string::npos) renamed.replace(at, 5, "omega");
        return renamed;
    };
    return scenario;
}

// tree/alpha-dir/alpha.txt is renamed (folder and file) and changed;
// tree/keep.txt is changed and backed up; tree/same.txt stays as it is.
const Snapshot kBefore = {{"tree", folder(1)},
                          {"tree/alpha-dir", folder(2)},
                          {"tree/alpha-dir/alpha.txt", file("alpha", 3)},
                          {"tree/keep.txt", file("alpha 2", 4, 0640)},
                          {"tree/same.txt", file("same", 5)}};
const Snapshot kAfter = {{"tree", folder(1)},
                         {"tree/omega-dir", folder(2)},
                         {"tree/omega-dir/omega.txt", file("omega", 13)},
                         {"tree/keep.txt", file("omega 2", 14, 0640)},
                         {"tree/keep.txt.bak", file("alpha 2", 15)},
                         {"tree/same.txt", file("same", 5)}};

ExpectedTree expectedTree(const Snapshot& before = kBefore, const Snapshot& after = kAfter)
{
    std::vector<std::string> problems;
    ExpectedTree expected(before, after, namesScenario(), problems);
    EXPECT_TRUE(problems.empty()) << problems.front();
    return expected;
}

std::vector<std::string> kinds(const StateCheck& check)
{
    std::vector<std::string> result;
    for (const Finding& finding : check.findings) result.push_back(finding.kind);
    std::sort(result.begin(), result.end());
    return result;
}

TEST(StateCheck, CrashMayLeaveAnyMixOfOldAndNewNamesAndContents)
{
    // The folder renamed, the file in it not yet but with its new contents;
    // a backup copy begun; a temporary file.
    Snapshot crash = kBefore;
    crash.erase("tree/alpha-dir");
    crash.erase("tree/alpha-dir/alpha.txt");
    crash["tree/omega-dir"] = folder(2);
    crash["tree/omega-dir/alpha.txt"] = file("omega", 13);
    crash["tree/keep.txt.bak"] = file("alp", 15);
    crash["tree/keep.txt.Ab12Cd.trwtmp8"] = file("omeg", 16);
    const StateCheck check = CheckState(expectedTree(), crash, Stage::Crash);
    EXPECT_TRUE(check.findings.empty()) << check.findings.front().detail;
    EXPECT_TRUE(check.changed);
    EXPECT_FALSE(CheckState(expectedTree(), kBefore, Stage::Crash).changed);
}

TEST(StateCheck, TornFileIsAViolationUnlessItIsHardLinked)
{
    Snapshot crash = kBefore;
    crash["tree/keep.txt"] = file("omeg", 4, 0640);
    StateCheck check = CheckState(expectedTree(), crash, Stage::Crash);
    ASSERT_EQ(kinds(check), std::vector<std::string>{"holds neither old nor new contents"});
    EXPECT_EQ(check.findings.front().detail,
              "tree/keep.txt holds neither its old nor its new contents (the first 4 of 7 bytes of its new contents)");

    // Two names of one file, rewritten in place: torn is allowed at the crash
    // (for the clean-up to repair), not after it.
    Snapshot before = kBefore, after = kAfter;
    before["tree/keep.txt"].links = after["tree/keep.txt"].links = 2;
    before["tree/keep-link.txt"] = before["tree/keep.txt"];
    after["tree/keep-link.txt"] = after["tree/keep.txt"];
    crash = before;
    crash["tree/keep.txt"].bytes = crash["tree/keep-link.txt"].bytes = "omega 22";
    const ExpectedTree linked = expectedTree(before, after);
    check = CheckState(linked, crash, Stage::Crash);
    EXPECT_TRUE(check.findings.empty()) << check.findings.front().detail;
    EXPECT_EQ(check.tornInPlace.size(), 2u);
    check = CheckState(linked, crash, Stage::Undo);
    EXPECT_EQ(kinds(check),
              (std::vector<std::string>{"torn hard-linked file not repaired", "torn hard-linked file not repaired"}));
}

TEST(StateCheck, AfterUndoEverythingIsOldAndOnlyWholeBackupCopiesRemain)
{
    Snapshot undone = kBefore;
    undone.erase("tree/alpha-dir");
    undone.erase("tree/alpha-dir/alpha.txt");
    undone["tree/omega-dir"] = folder(2);
    undone["tree/omega-dir/alpha.txt"] = file("alpha", 3);
    undone["tree/keep.txt"] = file("omega 2", 14, 0640);
    undone["tree/keep.txt.bak"] = file("alpha 2", 15);
    undone["tree/same.txt.bak"] = file("", 16);
    undone["tree/keep.txt.Ab12Cd.trwtmp8"] = file("omega 2", 17);
    undone["tree/stray"] = file("?", 18);
    const StateCheck check = CheckState(expectedTree(), undone, Stage::Undo);
    EXPECT_EQ(kinds(check),
              (std::vector<std::string>{"keeps its new name", "keeps the new contents", "partial backup copy remains",
                                        "temporary file remains", "unexpected entry"}));
    EXPECT_TRUE(CheckState(expectedTree(), kBefore, Stage::Undo).findings.empty());
}

TEST(StateCheck, AfterTheRerunEverythingIsNew)
{
    Snapshot rerun = kAfter;
    rerun.erase("tree/omega-dir/omega.txt");
    rerun["tree/omega-dir/alpha.txt"] = file("omega", 13);
    rerun["tree/keep.txt"] = file("alpha 2", 4, 0640);
    const StateCheck check = CheckState(expectedTree(), rerun, Stage::Rerun);
    EXPECT_EQ(kinds(check), (std::vector<std::string>{"keeps its old name", "keeps the old contents"}));
    EXPECT_TRUE(CheckState(expectedTree(), kAfter, Stage::Rerun).findings.empty());
}

TEST(StateCheck, MissingEntriesCutLinksAndChangedModesAreFound)
{
    Snapshot before = kBefore, after = kAfter;
    before["tree/keep.txt"].links = after["tree/keep.txt"].links = 2;
    before["tree/keep-link.txt"] = before["tree/keep.txt"];
    after["tree/keep-link.txt"] = after["tree/keep.txt"];
    Snapshot crash = before;
    crash["tree/keep.txt"] = file("omega 2", 30, 0600);  // a rename cut it off its other name
    crash.erase("tree/same.txt");
    const StateCheck check = CheckState(expectedTree(before, after), crash, Stage::Crash);
    EXPECT_EQ(kinds(check), (std::vector<std::string>{"hard links cut", "missing under both names", "permission bits changed"}));
}

TEST(StateCheck, ARunWithoutACrashThatDoesNotFitTheScenarioIsAProblem)
{
    Snapshot after = kAfter;
    after["tree/stray.txt"] = file("?", 40);
    after.erase("tree/same.txt");
    std::vector<std::string> problems;
    const ExpectedTree expected(kBefore, after, namesScenario(), problems);
    EXPECT_EQ(problems.size(), 2u);
    Scenario sameNames = namesScenario();
    sameNames.newName = [](const std::string& name, bool) { return name; };
    problems.clear();
    EXPECT_FALSE(ExpectedTree(kBefore, kBefore, sameNames, problems).changesSomething());
    EXPECT_TRUE(problems.empty());
}

}  // namespace
}  // namespace tarnwick::crashpoints
