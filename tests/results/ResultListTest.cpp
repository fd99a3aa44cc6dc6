#include "results/ResultList.h"

#include <gtest/gtest.h>

#include <malloc.h>

#include <atomic>
#include <fstream>
#include <thread>

#include "results/HitBatch.h"

namespace tarnwick {
namespace {

// The context text a hit at `position` is given in the concurrency test, so
// that a reader can tell a whole item from a torn one.
std::string contextOf(std::int64_t position) { return "context of hit " + std::to_string(position); }

TEST(ResultList, AddingBuildsTheTreeWithCheckBoxesAndItemData)
{
    ResultList list;
    const ItemHandle info = list.AddFileItem("Suche nach : x", ItemKind::Info);
    const ItemHandle file = list.AddNoteItem("/t/a.txt", ItemKind::File, 4);
    const ItemHandle hit1 = list.AddHitItem(12, 3, "ab xyz cd", 3, ItemKind::None, -1);
    const ItemHandle hit2 = list.AddHitItem(2'000'000'000, 4, "ctx", 1, ItemKind::None, 2);
    const ItemHandle child = list.AddFileItem("child", ItemKind::Error, true);
    const ItemHandle nameHit = list.AddFileItem("/t/x", ItemKind::FileNameHit);
    const ItemHandle dirHit = list.AddFileItem("/t/d", ItemKind::DirNameHit);
    const ItemHandle error = list.AddFileItem("/t/e", ItemKind::Error);
    const ItemHandle document = list.AddFileItem("/t/w.doc", ItemKind::Document);

    EXPECT_EQ(list.ItemCount(), 9u);
    EXPECT_EQ(list.TopLevelCount(), 6u);
    EXPECT_EQ(list.CurrentFileItem(), document);
    for (ItemHandle item : {file, hit1, hit2, child, nameHit, dirHit}) EXPECT_TRUE(list.HasCheckBox(item)) << item;
    for (ItemHandle item : {info, error, document}) EXPECT_FALSE(list.HasCheckBox(item)) << item;

    const auto h1 = list.Item(hit1);
    ASSERT_TRUE(h1);
    EXPECT_TRUE(h1->isHit);
    EXPECT_EQ(h1->kind, ItemKind::None);
    EXPECT_EQ(h1->columns[0], "ab xyz cd");
    EXPECT_EQ(h1->columns[1], "12");
    EXPECT_EQ(h1->highlightStart, 3);
    EXPECT_EQ(h1->highlightEnd, 6);  // -1 means the match length
    EXPECT_EQ(h1->data.kind, ItemDataKind::Record);
    EXPECT_EQ(h1->data.first, 3);
    EXPECT_EQ(h1->data.second, 3);
    EXPECT_FALSE(h1->checked);
    EXPECT_EQ(list.ColumnText(hit2, ResultColumn::Position), "2000000000");
    EXPECT_EQ(list.Item(hit2)->highlightEnd, 3);
    EXPECT_EQ(list.Data(hit2).second, 2);
    EXPECT_EQ(list.Data(file).kind, ItemDataKind::Record);
    EXPECT_EQ(list.Data(file).first, 4);
    EXPECT_EQ(list.Data(file).second, 0);
    EXPECT_EQ(list.Data(nameHit).kind, ItemDataKind::None);
    EXPECT_FALSE(list.IsExpanded(file));

    // Read accessors.
    EXPECT_EQ(list.FirstTopLevelItem(), info);
    EXPECT_EQ(list.NextSibling(info), file);
    EXPECT_EQ(list.NextSibling(file), nameHit);
    EXPECT_EQ(list.NextSibling(document), kNoItem);
    EXPECT_EQ(list.ChildCount(file), 3u);
    EXPECT_EQ(list.ChildCount(info), 0u);
    EXPECT_EQ(list.Child(file, 1), hit2);
    EXPECT_EQ(list.Child(file, 3), kNoItem);
    EXPECT_EQ(list.FirstChild(file), hit1);
    EXPECT_EQ(list.FirstChild(info), kNoItem);
    EXPECT_EQ(list.NextSibling(hit2), child);
    EXPECT_EQ(list.NextSibling(child), kNoItem);
    EXPECT_EQ(list.Parent(child), file);
    EXPECT_EQ(list.Parent(file), kNoItem);
    EXPECT_EQ(list.Row(child), 2u);
    EXPECT_EQ(list.Row(dirHit), 3u);
    EXPECT_EQ(list.TopLevelItem(5), document);
    EXPECT_TRUE(list.HasChildren(file));
    EXPECT_FALSE(list.HasChildren(hit1));

    list.ClearResults(true);
    EXPECT_EQ(list.ItemCount(), 0u);
    EXPECT_EQ(list.CurrentFileItem(), kNoItem);
    EXPECT_EQ(list.AddHitItem(1, 1, "x", 0, ItemKind::None, -1), kNoItem);
    EXPECT_EQ(list.AddFileItem("x", ItemKind::Error, true), kNoItem);
    EXPECT_FALSE(list.UpdateCurrentFileItem(ResultColumn::Remark, UpdateWhat::TextAndKind, "x", ItemKind::Error));
    EXPECT_EQ(list.FirstTopLevelItem(), kNoItem);
}

TEST(ResultList, UpdatesAndColumnTexts)
{
    const struct {
        ResultColumn column;
        UpdateWhat what;
        bool returns;
        ItemKind kind;
        const char* column2;
    } cases[] = {
        {ResultColumn::Remark, UpdateWhat::Text, true, ItemKind::Error, "new"},
        {ResultColumn::Remark, UpdateWhat::Kind, true, ItemKind::Replaced, ""},
        {ResultColumn::Remark, UpdateWhat::TextAndKind, true, ItemKind::Replaced, "new"},
        {ResultColumn::Remark, UpdateWhat::Nothing, true, ItemKind::Error, ""},
        {static_cast<ResultColumn>(3), UpdateWhat::TextAndKind, false, ItemKind::Replaced, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << static_cast<int>(c.column) << static_cast<int>(c.what));
        ResultList list;
        const ItemHandle item = list.AddFileItem("/t/a", ItemKind::Error);
        EXPECT_EQ(list.UpdateItem(item, c.column, c.what, "new", ItemKind::Replaced), c.returns);
        EXPECT_EQ(list.Kind(item), c.kind);
        EXPECT_EQ(list.ColumnText(item, ResultColumn::Remark), c.column2);
        EXPECT_EQ(list.ColumnText(item, ResultColumn::FileOrContext), "/t/a");
    }
    ResultList list;
    EXPECT_FALSE(list.UpdateItem(7, ResultColumn::Remark, UpdateWhat::Text, "x", ItemKind::Info));
    const ItemHandle item = list.AddFileItem("/t/a", ItemKind::FileNameHit);
    list.SetItemColumnText(item, "remark", ResultColumn::Remark);
    list.SetItemColumnText(item, "beyond", static_cast<ResultColumn>(3));
    list.SetItemColumnText(item, "before", static_cast<ResultColumn>(-1));
    list.SetItemColumnText(item, "path", ResultColumn::FileOrContext);
    EXPECT_EQ(list.ColumnText(item, ResultColumn::FileOrContext), "path");
    EXPECT_EQ(list.ColumnText(item, ResultColumn::Position), "");
    EXPECT_EQ(list.ColumnText(item, ResultColumn::Remark), "remark");

    // An error about the file whose hits are being added turns it into an
    // error item; its hits stay.
    const ItemHandle file = list.AddNoteItem("/t/b", ItemKind::File, 1);
    list.AddHitItem(5, 1, "x", 0, ItemKind::None, -1);
    EXPECT_TRUE(
        list.UpdateCurrentFileItem(ResultColumn::Remark, UpdateWhat::TextAndKind, "Kann Datei nicht öffnen: x", ItemKind::Error));
    EXPECT_EQ(list.Kind(file), ItemKind::Error);
    EXPECT_EQ(list.ColumnText(file, ResultColumn::Remark), "Kann Datei nicht öffnen: x");
    EXPECT_EQ(list.ChildCount(file), 1u);
    EXPECT_EQ(list.ColumnText(list.FirstChild(file), ResultColumn::Position), "5");
}

TEST(ResultList, MarkedItemsInDepthFirstOrder)
{
    ResultList list;
    const ItemHandle info = list.AddFileItem("info", ItemKind::Info);
    const ItemHandle file1 = list.AddNoteItem("/t/1", ItemKind::File, 1);
    const ItemHandle hit11 = list.AddHitItem(1, 1, "a", 0, ItemKind::None, -1);
    const ItemHandle hit12 = list.AddHitItem(2, 1, "b", 0, ItemKind::None, -1);
    const ItemHandle nameHit = list.AddFileItem("/t/n", ItemKind::FileNameHit);
    const ItemHandle file2 = list.AddNoteItem("/t/2", ItemKind::File, 1);
    const ItemHandle hit21 = list.AddHitItem(3, 1, "c", 0, ItemKind::None, -1);
    EXPECT_EQ(list.FirstMarkedItem(), kNoItem);
    for (ItemHandle item : {info, hit12, nameHit, file2, hit21}) list.SetChecked(item, true);
    EXPECT_FALSE(list.IsChecked(info));  // no check box, nothing to mark
    EXPECT_FALSE(list.IsChecked(file1));  // a child's mark leaves its parent alone

    std::vector<ItemHandle> marked;
    for (ItemHandle item = list.FirstMarkedItem(); item != kNoItem; item = list.NextMarkedItem(item)) marked.push_back(item);
    EXPECT_EQ(marked, (std::vector<ItemHandle>{hit12, nameHit, file2, hit21}));
    list.SetChecked(hit12, false);
    EXPECT_EQ(list.FirstMarkedItem(), nameHit);
    EXPECT_FALSE(list.IsChecked(hit11));
}

TEST(ResultList, ReaderSeesOnlyWholeItemsWhileAWriterAdds)
{
    constexpr int kHits = 100'000;
    ResultList list;
    std::atomic<bool> done{false};
    std::thread writer([&] {
        for (int i = 0; i < kHits; ++i) {
            if (i % 100 == 0) list.AddNoteItem("/t/" + std::to_string(i / 100), ItemKind::File, 1);
            list.AddHitItem(i, i % 50 + 1, contextOf(i), 0, ItemKind::None, -1);
        }
        done = true;
    });
    // The writer must be joined before the test ends, so failures are counted here.
    const auto whole = [&](ItemHandle handle) {
        const auto item = list.Item(handle);
        if (!item) return false;
        if (!item->isHit) return item->parent == kNoItem && list.ChildCount(handle) <= 100;
        const std::int64_t position = std::stoll(item->columns[1]);
        return item->columns[0] == contextOf(position) && item->data.first == position % 50 + 1 &&
            list.Parent(handle) == item->parent && list.Row(handle) < list.ChildCount(item->parent);
    };
    std::size_t reads = 0;
    std::size_t torn = 0;
    unsigned seed = 1;
    while (!done || reads == 0) {
        const std::size_t count = list.ItemCount();
        if (count == 0) continue;
        seed = seed * 1'103'515'245u + 12'345u;
        if (!whole(static_cast<ItemHandle>(seed % count))) ++torn;
        ++reads;
    }
    writer.join();
    EXPECT_EQ(torn, 0u) << "of " << reads;
    EXPECT_EQ(list.ItemCount(), static_cast<std::size_t>(kHits + kHits / 100));
}

TEST(ResultList, MillionHitsFitWellUnder200MB)
{
    const auto inUse = [] {
        const struct mallinfo2 info = ::mallinfo2();
        return info.uordblks + info.hblkhd;
    };
    const std::size_t before = inUse();
    {
        ResultList list;
        // A context as a search with the default context length makes it.
        const std::string context = "twenty bytes before needle twenty bytes after";
        for (int i = 0; i < 1'000'000; ++i) {
            if (i % 1000 == 0) list.AddNoteItem("/home/user/projects/some/file" + std::to_string(i), ItemKind::File, 1);
            list.AddHitItem(i, 6, context, 20, ItemKind::None, -1);
        }
        const std::size_t used = inUse() - before;
        // Without the allocator's own bookkeeping (a sanitizer, another
        // malloc) the figure means nothing.
        if (used < (1u << 20)) GTEST_SKIP() << "malloc statistics unavailable";
        RecordProperty("megabytes", static_cast<int>(used >> 20));
        EXPECT_LT(used, 200u << 20);
    }
}

TEST(ResultList, ABatchOfHitsIsAddedAsTheSameHitsOneByOne)
{
    ResultList one;
    ResultList batched;
    HitBatch batch;
    EXPECT_EQ(batched.AddHitItems(batch), kNoItem);
    batch.add(5, 3, "ab xyz", 3, ItemKind::None, -1);
    batch.add(90, 4, "", 0, ItemKind::Replaced, 2);
    batch.add(7'000'000'000, 1, "last", 1, ItemKind::None, 1);
    // Without a file item to hang them under, no hit is added.
    EXPECT_EQ(batched.AddHitItems(batch), kNoItem);
    EXPECT_EQ(batched.ItemCount(), 0u);

    one.AddNoteItem("/t/a.txt", ItemKind::File, 1);
    batched.AddNoteItem("/t/a.txt", ItemKind::File, 1);
    ItemHandle last = kNoItem;
    for (const HitBatch::Hit& hit : batch.hits())
        last =
            one.AddHitItem(hit.position, hit.matchLength, batch.context(hit), hit.highlightStart, hit.kind, hit.highlightLength);
    EXPECT_EQ(batched.AddHitItems(batch), last);
    ASSERT_EQ(batched.ItemCount(), one.ItemCount());
    for (ItemHandle item = 0; item < one.ItemCount(); ++item) {
        const auto expected = one.Item(item);
        const auto actual = batched.Item(item);
        ASSERT_TRUE(expected && actual);
        for (int column = 0; column < ResultList::kColumnCount; ++column)
            EXPECT_EQ(actual->columns[column], expected->columns[column]);
        EXPECT_EQ(actual->kind, expected->kind);
        EXPECT_EQ(actual->parent, expected->parent);
        EXPECT_EQ(actual->highlightStart, expected->highlightStart);
        EXPECT_EQ(actual->highlightEnd, expected->highlightEnd);
        EXPECT_EQ(actual->data.first, expected->data.first);
        EXPECT_EQ(actual->data.second, expected->data.second);
        EXPECT_EQ(actual->hasCheckBox, expected->hasCheckBox);
    }
    EXPECT_EQ(batched.ChildCount(batched.CurrentFileItem()), 3u);
}

#if !defined(__SANITIZE_ADDRESS__) && !defined(__SANITIZE_THREAD__)
std::int64_t residentKiB()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmRSS:", 0) == 0) return std::stoll(line.substr(6));
    return -1;
}

// The list is filled on another thread, as the search threads fill it, so
// that its memory comes from another of the C library's arenas.
TEST(ResultList, ClearingALargeListGivesItsMemoryBack)
{
    ResultList list;
    const std::int64_t before = residentKiB();
    if (before < 0) GTEST_SKIP() << "no /proc/self/status";
    std::thread writer([&] {
        HitBatch batch;
        const std::string context = "twenty bytes before needle twenty bytes after";
        for (int i = 0; i < 1'000'000; ++i) {
            if (i % 1000 == 0) {
                list.AddHitItems(batch);
                batch.clear();
                list.AddNoteItem("/home/user/projects/some/file" + std::to_string(i), ItemKind::File, 1);
            }
            batch.add(i, 6, context, 20, ItemKind::None, -1);
        }
        list.AddHitItems(batch);
    });
    writer.join();
    const std::int64_t full = residentKiB();
    ASSERT_GT(full - before, 100 << 10) << "the list should take some memory";
    list.ClearResults(true);
    // What the list keeps for the next run is allowed for.
    EXPECT_LT(residentKiB() - before, 40 << 10) << "full " << (full >> 10) << " MiB, before " << (before >> 10) << " MiB";
}
#endif

}  // namespace
}  // namespace tarnwick
