// What the preview dialog gets from a replace run, without a display.
#include "ui/replacepreview/ReplacePreviewCollector.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include "platform/CodePage.h"
#include "tests/support/TempTree.h"
#include "ui/replacepreview/ReplacePreviewTexts.h"

namespace tarnwick::ui {
namespace {

std::string numberedLines(int count, const char* word)
{
    std::string text;
    for (int i = 1; i <= count; ++i) text += std::string(word) + std::to_string(i) + "\n";
    return text;
}

TEST(ReplacePreviewCollector, KeepsChangedLinesPerFileUpToItsCapAndCountsTheRest)
{
    ReplacePreviewCollector preview(CodePage::system());
    preview.contents("/t/a.txt", "keep\nold\nkeep\n", "keep\nnew\nkeep\n", 1);
    preview.contents("/t/big.txt", numberedLines(300, "old"), numberedLines(300, "new"), 300);
    preview.contents("/t/c.bin", std::string("old\0", 4), std::string("new\0", 4), 1);

    const std::vector<PreviewEntry>& entries = preview.entries();
    ASSERT_EQ(entries.size(), 3u);
    ASSERT_EQ(entries[0].blocks.size(), 1u);
    EXPECT_EQ(entries[0].blocks[0].removed.at(0).text, "old");
    EXPECT_EQ(entries[0].blocks[0].removed.at(0).number, 2u);
    EXPECT_EQ(entries[0].blocks[0].added.at(0).text, "new");
    EXPECT_EQ(entries[0].blocks[0].added.at(0).changed, (std::vector<ByteRange>{{0, 3}}));
    // 600 changed lines, of which the entry keeps its cap.
    EXPECT_EQ(entries[1].blocks.at(0).removed.size() + entries[1].blocks.at(0).added.size(),
              ReplacePreviewCollector::kMaxLinesPerEntry);
    EXPECT_EQ(entries[1].hiddenLines, 600u - ReplacePreviewCollector::kMaxLinesPerEntry);
    EXPECT_EQ(previewtext::NoteText(entries[1]), "… 200 weitere geänderte Zeilen werden nicht angezeigt.");
    EXPECT_EQ(entries[2].kind, PreviewEntryKind::Binary);
    EXPECT_TRUE(entries[2].blocks.empty());
    EXPECT_EQ(preview.totalReplacements(), 302);
}

// The run announces a backup copy before the file's new contents.
TEST(ReplacePreviewCollector, ShowsTheBackupCopyInItsFilesEntryAndTheSummary)
{
    ReplacePreviewCollector preview(CodePage::system());
    preview.backup("/t/a.txt", "/t/a.txt.bak");
    preview.contents("/t/a.txt", "old\n", "new\n", 1);
    preview.contents("/t/b.txt", "old\n", "new\n", 1);
    ASSERT_EQ(preview.entries().size(), 2u);
    EXPECT_EQ(preview.entries()[0].backupPath, "/t/a.txt.bak");
    EXPECT_EQ(preview.entries()[1].backupPath, "");
    EXPECT_EQ(previewtext::Summary(preview.totalReplacements(), preview.changedCount(), 0, preview.backupCount()),
              "Der Ersetzungslauf würde 2 Einträge in 2 Dateien ändern und 1 Sicherungskopie anlegen. "
              "Noch wurde nichts geschrieben.");
}

// Comparing a huge split file would hold both its contents in memory.
TEST(ReplacePreviewCollector, ASplitFileBeyondTheComparedSizeShowsOnlyItsCount)
{
    test::TempTree tree;
    const std::string big = tree.write("big.log", "");
    ASSERT_EQ(::truncate(big.c_str(), ReplacePreviewCollector::kMaxComparedBytes + 1), 0);
    ReplacePreviewCollector preview(CodePage::system());
    EXPECT_FALSE(preview.splitContents(big, tree.write("new.tmp", "x"), 5));
    ASSERT_EQ(preview.entries().size(), 1u);
    EXPECT_TRUE(preview.entries()[0].tooLargeForLines);
    EXPECT_TRUE(preview.entries()[0].blocks.empty());
    EXPECT_EQ(preview.entries()[0].replacements, 5);
}

// A rename the real run would refuse (the name is taken, on disk or by an
// earlier rename of the same run) fails in the preview too.
TEST(ReplacePreviewCollector, RenamesJoinTheirFileAndFailWhereTheRunWould)
{
    test::TempTree tree;
    tree.write("old.txt", "x");
    tree.write("taken.txt", "y");
    tree.write("other.txt", "z");
    ReplacePreviewCollector preview(CodePage::system());
    preview.contents(tree.path("old.txt"), "old\n", "new\n", 1);
    EXPECT_FALSE(preview.rename(tree.root(), "old.txt", "new.txt"));
    EXPECT_EQ(preview.rename(tree.root(), "other.txt", "taken.txt"), std::errc::file_exists);
    EXPECT_EQ(preview.rename(tree.root(), "other.txt", "new.txt"), std::errc::file_exists);
    EXPECT_FALSE(preview.exists(tree.path("old.txt")));

    ASSERT_EQ(preview.entries().size(), 1u);
    EXPECT_EQ(preview.entries()[0].newName, "new.txt");
    EXPECT_EQ(preview.entries()[0].kind, PreviewEntryKind::Text);
}

// The run's error items become entries that name the file and the cause.
TEST(ReplacePreviewCollector, KeepsOnlyTheRunsErrorsOfItsItems)
{
    ReplacePreviewCollector preview(CodePage::system());
    RunSink& sink = preview;
    sink.beginEntry({"/t/a.txt", EntryKind::File, 0});
    HitEvent hit;
    hit.kind = HitKind::Replaced;
    hit.path = "/t/a.txt";
    hit.length = 3;
    hit.context = "old";
    sink.hit(hit);
    RunError failed;
    failed.kind = ErrorKind::CannotOpen;
    failed.path = "/t/locked.txt";
    failed.message = "Permission denied";
    sink.error(failed);
    sink.beginEntry({"/t/split.txt", EntryKind::File, 0});
    RunError full;
    full.kind = ErrorKind::TempFile;
    full.place = ErrorPlace::CurrentEntry;
    full.message = "No space left";
    sink.error(full);

    ASSERT_EQ(preview.entries().size(), 2u);
    EXPECT_EQ(preview.entries()[0].path, "/t/locked.txt: Permission denied");
    EXPECT_EQ(preview.entries()[1].path, "/t/split.txt: No space left");
    EXPECT_EQ(preview.changedCount(), 0u);
}

}  // namespace
}  // namespace tarnwick::ui
