#include "ui/results/ResultsCommands.h"

#include <gtest/gtest.h>

#include "tests/support/TempTree.h"
#include "ui/results/ResultsCommandTexts.h"

namespace tarnwick::ui {
namespace {

using namespace ResultsCommandId;

constexpr int kAllCommands[] = {OpenInViewer, OpenWithProgram, OpenInExternalEditor, ReplaceMarked, MarkAll, MarkNone,
                                Export,       ExpandAll,       CollapseAll};

class RecordingHost : public ResultsCommandHost {
public:
    void setAllExpanded(bool expanded) override { expandedCalls.push_back(expanded); }
    void refreshItems() override { ++refreshes; }
    bool openWithAssociatedProgram(const std::string& path) override
    {
        opened.push_back(path);
        return openSucceeds;
    }
    void showError(std::string_view text) override { errors.emplace_back(text); }
    void setPaneEnabled(bool enabled) override { paneStates.push_back(enabled); }

    std::vector<bool> expandedCalls;
    int refreshes = 0;
    bool openSucceeds = true;
    std::vector<std::string> opened;
    std::vector<std::string> errors;
    std::vector<bool> paneStates;
};

class FakeReplacer : public MarkedResultsReplacer {
public:
    bool startReplaceInMarkedResults() override
    {
        ++calls;
        return starts;
    }
    bool starts = true;
    int calls = 0;
};

// A search result as a run leaves it: header, one file with two hits, a
// file-name hit, a directory-name hit, an error, a document with a hit, summary.
struct SearchResult {
    explicit SearchResult(const test::TempTree& tree)
    {
        header = list.AddFileItem("Suche nach x", ItemKind::Info);
        file = list.AddNoteItem(tree.write("a.txt", "x x"), ItemKind::File, 1);
        hit = list.AddHitItem(0, 1, "x x", 0, ItemKind::None, -1);
        list.AddHitItem(2, 1, "x x", 2, ItemKind::None, -1);
        nameHit = list.AddFileItem(tree.write("x.txt", ""), ItemKind::FileNameHit);
        dirHit = list.AddFileItem(tree.mkdir("xdir"), ItemKind::DirNameHit);
        error = list.AddFileItem(tree.path("gone.txt"), ItemKind::Error);
        document = list.AddFileItem(tree.path("missing.docx"), ItemKind::Document);
        docHit = list.AddHitItem(5, 1, "x", 0, ItemKind::None, -1);
        summary = list.AddFileItem("Suche abgeschlossen.", ItemKind::Info);
    }
    ResultList list;
    ItemHandle header, file, hit, nameHit, dirHit, error, document, docHit, summary;
};

TEST(ResultsCommands, EnablingTableFollowsCountKindAndLastRun)
{
    auto enabled = [](int id, std::size_t count, ItemKind kind, bool search) {
        return IsResultsCommandEnabledByRule(id, {count, kind, search});
    };
    // Nothing in the list, nothing selected.
    for (int id : kAllCommands) EXPECT_FALSE(enabled(id, 0, ItemKind::None, true)) << id;
    // Header and summary only: export and expand, but no marking.
    for (int id : {Export, ExpandAll, CollapseAll}) EXPECT_TRUE(enabled(id, 1, ItemKind::None, false)) << id;
    for (int id : {ReplaceMarked, MarkAll, MarkNone}) {
        EXPECT_FALSE(enabled(id, 2, ItemKind::None, true)) << id;
        EXPECT_TRUE(enabled(id, 3, ItemKind::None, true)) << id;
        EXPECT_FALSE(enabled(id, 3, ItemKind::None, false)) << id;  // after a replace run
    }
    // Selection kinds.
    const std::pair<ItemKind, std::pair<bool, bool>> kinds[] = {
        {ItemKind::Info, {false, false}},       {ItemKind::File, {true, true}},
        {ItemKind::Error, {false, false}},      {ItemKind::FileNameHit, {false, true}},
        {ItemKind::DirNameHit, {false, false}}, {ItemKind::Replaced, {false, false}},
        {ItemKind::Document, {true, true}},     {ItemKind::DocumentReplaced, {false, false}},
    };
    for (const auto& [kind, expected] : kinds) {
        EXPECT_EQ(enabled(OpenInViewer, 5, kind, true), expected.first) << static_cast<int>(kind);
        EXPECT_EQ(enabled(OpenWithProgram, 5, kind, true), expected.second) << static_cast<int>(kind);
    }
    EXPECT_FALSE(enabled(12345, 5, ItemKind::File, true));
}

TEST(ResultsCommands, HitsWithoutKindCountAsFilesAndSelectionDecides)
{
    test::TempTree tree;
    SearchResult run(tree);
    RecordingHost host;
    ResultsCommands commands(run.list, host);
    commands.setLastRunWasSearch(true);
    EXPECT_EQ(EffectiveKind(run.list, run.hit), ItemKind::File);
    EXPECT_EQ(EffectiveKind(run.list, run.header), ItemKind::Info);
    EXPECT_EQ(EffectiveKind(run.list, kNoItem), ItemKind::None);

    EXPECT_FALSE(commands.isEnabled(OpenWithProgram));  // nothing selected
    run.list.SetSelectedItems({run.hit, run.error});
    EXPECT_TRUE(commands.isEnabled(OpenWithProgram));
    // The viewer target comes later; without it the command stays off.
    EXPECT_FALSE(commands.isEnabled(OpenInViewer));
    std::vector<ItemHandle> shown;
    commands.setOpenInViewerHook([&](ItemHandle item) { shown.push_back(item); });
    EXPECT_TRUE(commands.isEnabled(OpenInViewer));
    EXPECT_TRUE(commands.execute(OpenInViewer));
    run.list.SetSelectedItems({run.error, run.hit});  // the first selected decides
    EXPECT_FALSE(commands.isEnabled(OpenWithProgram));
    EXPECT_FALSE(commands.execute(OpenInViewer));
    commands.openHit(run.docHit);
    EXPECT_EQ(shown, (std::vector<ItemHandle>{run.hit, run.docHit}));
    // A replaced hit (kind 5) is no longer a file for the rules.
    run.list.UpdateItem(run.hit, ResultColumn::FileOrContext, UpdateWhat::Kind, "", ItemKind::Replaced);
    run.list.SetSelectedItems({run.hit});
    EXPECT_FALSE(commands.isEnabled(OpenWithProgram));
}

TEST(ResultsCommands, AssociatedProgramOpensTheRightPathOrNothing)
{
    test::TempTree tree;
    SearchResult run(tree);
    EXPECT_EQ(FileForAssociatedProgram(run.list, run.file), tree.path("a.txt"));
    EXPECT_EQ(FileForAssociatedProgram(run.list, run.hit), tree.path("a.txt"));
    EXPECT_EQ(FileForAssociatedProgram(run.list, run.nameHit), tree.path("x.txt"));
    EXPECT_EQ(FileForAssociatedProgram(run.list, run.dirHit), std::nullopt);
    EXPECT_EQ(FileForAssociatedProgram(run.list, run.header), std::nullopt);

    RecordingHost host;
    ResultsCommands commands(run.list, host);
    run.list.SetSelectedItems({run.hit});
    EXPECT_TRUE(commands.execute(OpenWithProgram));
    run.list.SetSelectedItems({run.docHit});  // its document does not exist: nothing happens
    EXPECT_TRUE(commands.execute(OpenWithProgram));
    EXPECT_EQ(host.opened, (std::vector<std::string>{tree.path("a.txt")}));
    EXPECT_TRUE(host.errors.empty());

    host.openSucceeds = false;
    run.list.SetSelectedItems({run.nameHit});
    commands.execute(OpenWithProgram);
    ASSERT_EQ(host.errors.size(), 1u);
    EXPECT_EQ(host.errors[0], "Fehler beim Starten des mit dieser Datei verknüpften Programms.");
}

TEST(ResultsCommands, MarkAllAndNoneReachEveryItemWithACheckBox)
{
    test::TempTree tree;
    SearchResult run(tree);
    RecordingHost host;
    ResultsCommands commands(run.list, host);
    EXPECT_FALSE(commands.execute(MarkAll));  // the last run was no search
    commands.setLastRunWasSearch(true);
    EXPECT_TRUE(commands.execute(MarkAll));
    std::vector<ItemHandle> marked;
    for (ItemHandle item = run.list.FirstMarkedItem(); item != kNoItem; item = run.list.NextMarkedItem(item))
        marked.push_back(item);
    EXPECT_EQ(marked, (std::vector<ItemHandle>{run.file, run.hit, run.hit + 1, run.nameHit, run.dirHit, run.docHit}));
    EXPECT_TRUE(commands.execute(MarkNone));
    EXPECT_EQ(run.list.FirstMarkedItem(), kNoItem);
    EXPECT_EQ(host.refreshes, 2);

    EXPECT_TRUE(commands.execute(ExpandAll));
    EXPECT_TRUE(commands.execute(CollapseAll));
    EXPECT_EQ(host.expandedCalls, (std::vector<bool>{true, false}));
}

TEST(ResultsCommands, ReplaceInMarkedResultsDisablesThePaneUntilTheWorkerIsDone)
{
    test::TempTree tree;
    SearchResult run(tree);
    RecordingHost host;
    FakeReplacer replacer;
    ResultsCommands commands(run.list, host);
    commands.setLastRunWasSearch(true);
    EXPECT_FALSE(commands.isEnabled(ReplaceMarked));  // no form yet
    commands.setReplacer(&replacer);
    commands.setExportHook([] {});

    // The user cancels the question: the pane comes back at once.
    replacer.starts = false;
    EXPECT_TRUE(commands.execute(ReplaceMarked));
    EXPECT_FALSE(commands.isSelectedReplaceRunning());
    EXPECT_EQ(host.paneStates, (std::vector<bool>{false, true}));

    replacer.starts = true;
    host.paneStates.clear();
    EXPECT_TRUE(commands.execute(ReplaceMarked));
    EXPECT_TRUE(commands.isSelectedReplaceRunning());
    EXPECT_EQ(host.paneStates, (std::vector<bool>{false}));
    // While the worker reads the marks nothing may change them or start again.
    for (int id : kAllCommands) EXPECT_FALSE(commands.isEnabled(id)) << id;
    EXPECT_FALSE(commands.execute(MarkNone));
    EXPECT_FALSE(commands.execute(ReplaceMarked));
    EXPECT_EQ(replacer.calls, 2);

    commands.selectedReplaceFinished();
    EXPECT_EQ(host.paneStates, (std::vector<bool>{false, true}));
    EXPECT_TRUE(commands.isEnabled(MarkAll));
    EXPECT_TRUE(commands.isEnabled(Export));
}

TEST(ResultsCommands, ContextMenuIsWithheldOnlyForASingleInfoOrError)
{
    test::TempTree tree;
    SearchResult run(tree);
    EXPECT_FALSE(ShowsContextMenu(run.list, {run.error}));
    EXPECT_FALSE(ShowsContextMenu(run.list, {run.header}));
    EXPECT_TRUE(ShowsContextMenu(run.list, {run.error, run.hit}));
    EXPECT_TRUE(ShowsContextMenu(run.list, {run.hit}));
    EXPECT_TRUE(ShowsContextMenu(run.list, {}));
}

TEST(ResultsCommandTexts, PromptsSplitIntoStatusTipAndToolTip)
{
    const ResultsCommandText* exportText = FindResultsCommandText(Export);
    ASSERT_NE(exportText, nullptr);
    const PromptParts parts = SplitPrompt(exportText->prompt);
    EXPECT_EQ(parts.statusTip, "Speichert die (ausgewählten) Ergebnisse in einer Datei ab");
    EXPECT_EQ(parts.toolTip, "Ergebnissliste exportieren");
    EXPECT_EQ(SplitPrompt("ohne").toolTip, "ohne");
    EXPECT_EQ(FindResultsCommandText(1), nullptr);
    for (int id : kAllCommands) EXPECT_NE(FindResultsCommandText(id), nullptr) << id;
    const std::vector<int> bar(ResultsToolBarLayout().begin(), ResultsToolBarLayout().end());
    EXPECT_EQ(bar,
              (std::vector<int>{OpenInViewer, OpenWithProgram, OpenInExternalEditor, kSeparator, ReplaceMarked, MarkAll, MarkNone,
                                kSeparator, Export, ExpandAll, CollapseAll}));
}

}  // namespace
}  // namespace tarnwick::ui
