#include "engine/parallel/OutcomeSlot.h"

#include <gtest/gtest.h>

#include <sstream>
#include <vector>

namespace tarnwick::test {
namespace {

// Writes every event down as one line, with every field.
class RecordingSink final : public RunSink {
public:
    std::vector<std::string> calls;

protected:
    SinkReply onBeginEntry(const EntryStart& entry) override
    {
        line() << "begin " << entry.path << ' ' << static_cast<int>(entry.kind) << ' ' << entry.encoding;
        return end();
    }
    SinkReply onHit(const HitEvent& hit) override
    {
        line() << "hit " << static_cast<int>(hit.kind) << ' ' << hit.inDocument << ' ' << hit.path << ' ' << hit.position << " ["
               << hit.positionText << "] " << hit.length << ' ' << hit.context << ' ' << hit.highlightStart << ' '
               << hit.highlightLength;
        return end();
    }
    SinkReply onNameHit(const NameHitEvent& hit) override
    {
        line() << "name " << static_cast<int>(hit.kind) << ' ' << hit.directory << ' ' << hit.path << ' ' << hit.searchLength;
        return end();
    }
    SinkReply onError(const RunError& error) override
    {
        line() << "error " << static_cast<int>(error.kind) << ' ' << static_cast<int>(error.place) << ' ' << error.path << " ["
               << error.message << "] " << error.position;
        return end();
    }
    SinkReply onNote(const RunNote& note) override
    {
        line() << "note " << static_cast<int>(note.kind) << ' ' << note.path << ' ' << note.detail;
        return end();
    }
    SinkReply onCommitted(const Commit& commit) override
    {
        line() << "commit " << static_cast<int>(commit.kind) << ' ' << commit.path << ' ' << commit.replacements;
        return end();
    }
    SinkReply onEndEntry(const EntryEnd& entryEnd) override
    {
        line() << "end " << entryEnd.hits << ' ' << entryEnd.files;
        return end();
    }

private:
    std::ostringstream& line()
    {
        m_line.str({});
        return m_line;
    }
    SinkReply end()
    {
        calls.push_back(m_line.str());
        return SinkReply::Continue;
    }

    std::ostringstream m_line;
};

// The records are packed bytes: every event, with every field (positions
// beyond 32 bits, the negative "no value"s, empty texts), comes back out as
// it went in and in the order it was made, also after an earlier replay.
TEST(OutcomeSlot, ReplayPassesOnEveryRecordAsItWasMade)
{
    OutcomeSlot slot;
    slot.reset();
    slot.record(NameHitEvent{NameHitKind::Found, true, "d", 1});
    slot.record(EntryStart{"f", EntryKind::File, 4});
    HitEvent hit;
    hit.path = "f";
    hit.position = std::int64_t{1} << 40;
    hit.length = 7;
    hit.context = "ctx";
    hit.highlightStart = 3;
    slot.record(hit);
    hit.kind = HitKind::Replaced;
    hit.inDocument = true;
    hit.positionText = "Fußnote 3: 12";
    hit.highlightLength = 5;
    slot.record(hit);
    slot.record(RunError{ErrorKind::RefusedOccurrence, ErrorPlace::Occurrence, "f", "refused", "Kopfzeile: 2"});
    slot.record(RunNote{NoteKind::AlreadyChangedAs, "g", "f"});
    slot.record(Commit{CommitKind::Contents, "f", std::int64_t{1} << 33});
    slot.record(EntryEnd{2, 1});
    RecordingSink target;
    slot.replay(target);
    EXPECT_EQ(target.calls,
              (std::vector<std::string>{"name 0 1 d 1", "begin f 0 4", "hit 0 0 f 1099511627776 [] 7 ctx 3 -1",
                                        "hit 1 1 f 1099511627776 [Fußnote 3: 12] 7 ctx 3 5", "error 7 3 f [refused] Kopfzeile: 2",
                                        "note 3 g f", "commit 0 f 8589934592", "end 2 1"}));
    EXPECT_EQ(slot.bufferedBytes(), 0u);

    target.calls.clear();
    slot.record(RunError{ErrorKind::Commit, ErrorPlace::CurrentEntry, {}, "lost", {}});
    slot.replay(target);
    EXPECT_EQ(target.calls, std::vector<std::string>{"error 12 2  [lost] "});
}

}  // namespace
}  // namespace tarnwick::test
