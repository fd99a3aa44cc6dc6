#include "engine/parallel/OutcomeSlot.h"

#include <gtest/gtest.h>

#include <sstream>

namespace tarnwick::test {
namespace {

// Writes every call down as one line; items it creates get handles from 100.
class RecordingSink final : public RunSink {
public:
    std::vector<std::string> calls;

    ItemHandle AddFileItem(std::string_view text, ItemKind kind, bool asChild) override
    {
        return note("file", text, kind, asChild);
    }
    ItemHandle AddNoteItem(std::string_view text, ItemKind kind, std::int32_t value) override
    {
        return note("note", text, kind, value);
    }
    void AddHitItem(std::int64_t position, std::int64_t matchLength, std::string_view context, std::int32_t highlightStart,
                    ItemKind kind, std::int64_t highlightLength) override
    {
        line() << "hit " << position << ' ' << matchLength << ' ' << context << ' ' << highlightStart << ' '
               << static_cast<int>(kind) << ' ' << highlightLength;
        end();
    }
    void UpdateItem(ItemHandle item, ResultColumn column, UpdateWhat what, std::string_view text, ItemKind kind) override
    {
        line() << "update " << item << ' ' << static_cast<int>(column) << ' ' << static_cast<int>(what) << ' ' << text << ' '
               << static_cast<int>(kind);
        end();
    }
    void UpdateCurrentFileItem(ResultColumn column, UpdateWhat what, std::string_view text, ItemKind kind) override
    {
        line() << "current " << static_cast<int>(column) << ' ' << static_cast<int>(what) << ' ' << text << ' '
               << static_cast<int>(kind);
        end();
    }
    void SetItemColumnText(ItemHandle item, std::string_view text, ResultColumn column) override
    {
        line() << "column " << item << ' ' << text << ' ' << static_cast<int>(column);
        end();
    }
    void SetItemDataValue(ItemHandle item, std::int64_t value) override
    {
        line() << "data " << item << ' ' << value;
        end();
    }
    void ScrollToItem(ItemHandle item) override
    {
        line() << "scroll " << item;
        end();
    }
    void AppendLog(std::string_view bytes) override
    {
        line() << "log " << bytes;
        end();
    }
    void AddCounts(std::int32_t hits, std::int32_t files) override
    {
        line() << "counts " << hits << ' ' << files;
        end();
    }

private:
    std::ostringstream& line()
    {
        m_line.str({});
        return m_line;
    }
    void end() { calls.push_back(m_line.str()); }
    ItemHandle note(const char* what, std::string_view text, ItemKind kind, std::int64_t value)
    {
        line() << what << ' ' << text << ' ' << static_cast<int>(kind) << ' ' << value;
        end();
        return m_next++;
    }

    std::ostringstream m_line;
    ItemHandle m_next = 100;
};

// The records are packed bytes: every kind (None is negative), column and
// update comes back out as it went in, and the slot's handles become the
// target's, also for records made after an earlier replay.
TEST(OutcomeSlot, ReplayPassesOnEveryRecordAsItWasMade)
{
    OutcomeSlot slot;
    slot.reset();
    const ItemHandle dir = slot.recordFileItem("d", ItemKind::DirNameHit, false);
    const ItemHandle file = slot.recordNoteItem("f", ItemKind::File, 4);
    slot.recordHitItem(std::int64_t{1} << 40, 7, "ctx", 3, ItemKind::None, -1);
    slot.recordUpdateItem(file, ResultColumn::Remark, UpdateWhat::TextAndKind, "err", ItemKind::Error);
    slot.recordUpdateCurrentFileItem(ResultColumn::Position, UpdateWhat::Kind, "", ItemKind::DocumentReplaced);
    slot.recordColumnText(dir, "why", ResultColumn::Remark);
    slot.recordDataValue(dir, 12);
    slot.recordScroll(file);
    slot.recordLog("line\r\n");
    slot.recordCounts(2, 1);
    RecordingSink target;
    slot.replay(target);
    EXPECT_EQ(target.calls,
              (std::vector<std::string>{"file d 4 0", "note f 1 4", "hit 1099511627776 7 ctx 3 -1 -1", "update 101 2 3 err 2",
                                        "current 1 2  7", "column 100 why 2", "data 100 12", "scroll 101", "log line\r\n",
                                        "counts 2 1"}));
    EXPECT_EQ(slot.bufferedBytes(), 0u);

    target.calls.clear();
    slot.recordUpdateItem(dir, ResultColumn::FileOrContext, UpdateWhat::Text, "renamed", ItemKind::Info);
    slot.replay(target);
    EXPECT_EQ(target.calls, std::vector<std::string>{"update 100 0 1 renamed 0"});
}

}  // namespace
}  // namespace tarnwick::test
