#include "results/MarkedResults.h"

#include <gtest/gtest.h>

#include "results/ResultList.h"

namespace tarnwick {
namespace {

TEST(MarkedResults, EachFileWithMarkedHitsComesWithAllItsHitsAndMarkedItemsInListOrder)
{
    ResultList list;
    const ItemHandle file = list.AddNoteItem("/t/a.txt", ItemKind::File, 1);
    const ItemHandle first = list.AddHitItem(3, 2, "ctx", 0, ItemKind::None, -1);
    list.AddHitItem(10, 2, "ctx", 0, ItemKind::None, -1);
    const ItemHandle name = list.AddFileItem("/t/needle", ItemKind::FileNameHit);
    list.AddNoteItem("/t/unmarked.txt", ItemKind::File, 1);
    list.AddHitItem(4, 2, "ctx", 0, ItemKind::None, -1);
    const ItemHandle document = list.AddFileItem("/t/w.docx", ItemKind::Document);
    const ItemHandle footnote = list.AddHitItem(0, 5, "ctx", 0, ItemKind::None, -1);
    list.SetItemColumnText(footnote, "Fußnote 3: 12", ResultColumn::Position);
    const ItemHandle damaged = list.AddHitItem(0, 5, "ctx", 0, ItemKind::None, -1);
    list.SetItemColumnText(damaged, "Kopfzeile", ResultColumn::Position);
    list.SetItemData(file, 1, 1);  // a backup made by an earlier replace
    for (const ItemHandle item : {file, first, name, footnote, damaged}) list.SetChecked(item, true);

    const std::vector<MarkedEntry> entries = readMarkedResults(list);
    ASSERT_EQ(entries.size(), 4u);
    // The marked file item on its own, then the file of its marked hit.
    EXPECT_TRUE(entries[0].markedItself);
    EXPECT_EQ(entries[0].item, file);
    EXPECT_TRUE(entries[0].children.empty());
    const MarkedEntry& hits = entries[1];
    EXPECT_FALSE(hits.markedItself);
    EXPECT_EQ(hits.path, "/t/a.txt");
    EXPECT_TRUE(hits.backupMade);
    ASSERT_EQ(hits.children.size(), 2u);
    EXPECT_TRUE(hits.children[0].marked);
    EXPECT_FALSE(hits.children[1].marked);
    EXPECT_EQ(hits.children[1].position, 10);
    EXPECT_EQ(hits.children[1].length, 2);
    EXPECT_EQ(entries[2].item, name);
    EXPECT_EQ(entries[2].kind, ItemKind::FileNameHit);

    const MarkedEntry& inDocument = entries[3];
    EXPECT_EQ(inDocument.item, document);
    EXPECT_FALSE(inDocument.backupMade);
    ASSERT_EQ(inDocument.children.size(), 2u);
    EXPECT_TRUE(inDocument.children[0].hasPosition);
    EXPECT_EQ(inDocument.children[0].part, "Fußnote 3");
    EXPECT_EQ(inDocument.children[0].position, 12);
    EXPECT_EQ(inDocument.children[0].length, 5);
    EXPECT_FALSE(inDocument.children[1].hasPosition);
}

}  // namespace
}  // namespace tarnwick
