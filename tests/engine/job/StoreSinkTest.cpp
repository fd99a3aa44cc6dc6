// The desktop program's sink hands hits to the result list in batches; what
// the list holds in the end, and in which order, is what hit-by-hit gives.
#include "engine/job/StoreSink.h"

#include <gtest/gtest.h>

#include "engine/log/RunLog.h"
#include "results/MarkedResults.h"

namespace tarnwick {
namespace {

HitEvent hitAt(std::int64_t position, std::string_view context, std::string_view positionText = {})
{
    HitEvent hit;
    hit.path = "/t/a.txt";
    hit.position = position;
    hit.positionText = positionText;
    hit.length = 2;
    hit.context = context;
    return hit;
}

// One file's outcome as the engine writes it: hits, the last with a
// position given as text, the file turning into an error item, then a name hit.
void writeOutcome(RunSink& sink, int hits)
{
    sink.beginEntry({"/t/a.txt", EntryKind::File, 1});
    for (int i = 0; i < hits; ++i) {
        const std::string context = "hit " + std::to_string(i);
        sink.hit(hitAt(i * 10, context, i == hits - 1 ? "Kopfzeile:7" : ""));
    }
    RunError error;
    error.kind = ErrorKind::TempFile;
    error.place = ErrorPlace::CurrentEntry;
    error.message = "Lesefehler";
    sink.error(error);
    NameHitEvent name;
    name.path = "/t/needle";
    sink.nameHit(name);
    sink.hit(hitAt(1, "after the name hit"));
}

std::vector<std::string> describe(const ResultList& list)
{
    std::vector<std::string> items;
    for (ItemHandle item = 0; item < list.ItemCount(); ++item) {
        const auto it = list.Item(item);
        items.push_back(std::to_string(it->parent) + '|' + std::to_string(static_cast<int>(it->kind)) + '|' + it->columns[0] +
                        '|' + it->columns[1] + '|' + it->columns[2]);
    }
    return items;
}

TEST(StoreSink, BatchedHitsEndUpAsHitByHitAndInTheSameOrder)
{
    for (const int hits : {3, 1500}) {  // within one batch, and over several
        ResultList plainList;
        ResultList batchedList;
        RunLog plainLog;
        RunLog batchedLog;
        StoreSink plain(plainList, plainLog);
        StoreSink batched(batchedList, batchedLog, true);
        writeOutcome(plain, hits);
        writeOutcome(batched, hits);
        batched.endEntry();
        EXPECT_EQ(describe(batchedList), describe(plainList)) << hits;
        EXPECT_EQ(batchedLog.text(), plainLog.text()) << hits;
        EXPECT_EQ(batchedList.ColumnText(static_cast<ItemHandle>(hits), ResultColumn::Position), "Kopfzeile:7");
    }
}

TEST(StoreSink, HitsNotYetHandedOnReachTheListWhenTheRunFlushesOrEnds)
{
    ResultList list;
    RunLog log;
    {
        StoreSink sink(list, log, true);
        sink.beginEntry({"/t/a.txt", EntryKind::File, 1});
        sink.hit(hitAt(0, "a"));
        EXPECT_EQ(list.ItemCount(), 1u);  // still gathered
        sink.flushHits();
        EXPECT_EQ(list.ItemCount(), 2u);
        sink.hit(hitAt(5, "b"));
    }
    EXPECT_EQ(list.ItemCount(), 3u);
}

// What the sink writes for a replace in marked results is what the next one reads back.
TEST(StoreSink, MarkedChangesLandOnTheNamedItemsAndReadBack)
{
    ResultList list;
    StoreSink sink(list);
    sink.beginEntry({"/t/w.docx", EntryKind::Document, 0});
    sink.hit(hitAt(5, "header", "Kopfzeile: 5"));
    sink.hit(hitAt(7, "main text"));
    sink.endEntry();
    const ItemHandle document = 0;
    const ItemHandle header = 1;
    const ItemHandle mainText = 2;
    list.SetChecked(header, true);

    MarkedChange change;
    change.kind = MarkedChangeKind::Moved;
    change.item = header;
    change.part = "Kopfzeile";
    change.position = 9;
    sink.markedChange(change);
    change.item = mainText;
    change.part = {};
    change.position = 11;
    sink.markedChange(change);
    change = {};
    change.kind = MarkedChangeKind::BackupMade;
    change.item = document;
    sink.markedChange(change);

    EXPECT_EQ(list.ColumnText(header, ResultColumn::Position), "Kopfzeile: 9");
    EXPECT_EQ(list.ColumnText(mainText, ResultColumn::Position), "11");
    const std::vector<MarkedEntry> entries = readMarkedResults(list);
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_TRUE(entries[0].backupMade);
    ASSERT_EQ(entries[0].children.size(), 2u);
    EXPECT_EQ(entries[0].children[0].part, "Kopfzeile");
    EXPECT_EQ(entries[0].children[0].position, 9);
    EXPECT_EQ(entries[0].children[1].part, "");
    EXPECT_EQ(entries[0].children[1].position, 11);
}

TEST(StoreSink, ABackupMadeKeepsTheFileItemsEncoding)
{
    ResultList list;
    StoreSink sink(list);
    sink.beginEntry({"/t/a.txt", EntryKind::File, 4});
    MarkedChange made;
    made.kind = MarkedChangeKind::BackupMade;
    made.item = 0;
    sink.markedChange(made);
    EXPECT_EQ(list.Data(0).first, 4);
    EXPECT_EQ(list.Data(0).second, 1);
}

}  // namespace
}  // namespace tarnwick
