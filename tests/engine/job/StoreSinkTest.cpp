// The desktop program's sink hands hits to the result list in batches; what
// the list holds in the end, and in which order, is what hit-by-hit gives.
#include "engine/job/StoreSink.h"

#include <gtest/gtest.h>

#include "engine/log/RunLog.h"

namespace tarnwick {
namespace {

// One file's outcome as the engine writes it: hits, a position given as
// text, the file turning into an error item, then a name hit.
void writeOutcome(RunSink& sink, int hits)
{
    sink.AddNoteItem("/t/a.txt", ItemKind::File, 1);
    for (int i = 0; i < hits; ++i) sink.AddHitItem(i * 10, 2, "hit " + std::to_string(i), 0, ItemKind::None, -1);
    sink.SetLastHitPosition("Kopfzeile:7");
    sink.UpdateCurrentFileItem(ResultColumn::Remark, UpdateWhat::TextAndKind, "Lesefehler", ItemKind::Error);
    const ItemHandle name = sink.AddFileItem("/t/needle", ItemKind::FileNameHit);
    sink.SetItemColumnText(name, "Im Dateinamen gefunden", ResultColumn::Remark);
    sink.AddHitItem(1, 1, "after the name hit", 0, ItemKind::None, -1);
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
        batched.EndOfOutcome();
        EXPECT_EQ(describe(batchedList), describe(plainList)) << hits;
        EXPECT_EQ(batchedList.ColumnText(static_cast<ItemHandle>(hits), ResultColumn::Position), "Kopfzeile:7");
    }
}

TEST(StoreSink, HitsNotYetHandedOnReachTheListWhenTheRunFlushesOrEnds)
{
    ResultList list;
    RunLog log;
    {
        StoreSink sink(list, log, true);
        sink.AddNoteItem("/t/a.txt", ItemKind::File, 1);
        sink.AddHitItem(0, 1, "a", 0, ItemKind::None, -1);
        EXPECT_EQ(list.ItemCount(), 1u);  // still gathered
        sink.flushHits();
        EXPECT_EQ(list.ItemCount(), 2u);
        sink.AddHitItem(5, 1, "b", 0, ItemKind::None, -1);
    }
    EXPECT_EQ(list.ItemCount(), 3u);
}

}  // namespace
}  // namespace tarnwick
