#include "engine/parallel/OutcomeSlot.h"

#include <cstring>

namespace tarnwick {
namespace {

enum class Op : std::uint8_t {
    BeginEntry,
    Hit,
    NameHit,
    Error,
    Note,
    Commit,
    EndEntry,
};

// Reads the records back in the order they were written.
class Reader {
public:
    explicit Reader(std::string_view bytes) : m_at(bytes.data()), m_end(bytes.data() + bytes.size()) {}
    bool done() const { return m_at >= m_end; }
    template <typename T>
    T get()
    {
        T value;
        std::memcpy(&value, m_at, sizeof value);
        m_at += sizeof value;
        return value;
    }
    std::string_view text()
    {
        const auto length = get<std::uint32_t>();
        const std::string_view view(m_at, length);
        m_at += length;
        return view;
    }

private:
    const char* m_at;
    const char* m_end;
};

}  // namespace

void OutcomeSlot::reset()
{
    m_bytes.clear();
    state.store(State::Buffering, std::memory_order_relaxed);
}

void OutcomeSlot::lendRecordMemory(std::string&& memory)
{
    // What was recorded so far (nothing, or a little in the slot's own few
    // bytes) moves along.
    memory.assign(m_bytes);
    if (memory.capacity() < kRecordMemory) memory.reserve(kRecordMemory);
    m_bytes.swap(memory);
}

std::string OutcomeSlot::takeRecordMemory()
{
    std::string memory;
    memory.swap(m_bytes);
    memory.clear();
    return memory;
}

template <typename T>
void OutcomeSlot::put(T value)
{
    char raw[sizeof value];
    std::memcpy(raw, &value, sizeof value);
    m_bytes.append(raw, sizeof value);
}

void OutcomeSlot::putText(std::string_view text)
{
    put(static_cast<std::uint32_t>(text.size()));
    m_bytes.append(text);
}

void OutcomeSlot::record(const EntryStart& entry)
{
    put(Op::BeginEntry);
    putText(entry.path);
    put(entry.kind);
    put(entry.encoding);
}

void OutcomeSlot::record(const HitEvent& hit)
{
    put(Op::Hit);
    put(hit.kind);
    put(hit.inDocument);
    putText(hit.path);
    put(hit.position);
    putText(hit.positionText);
    put(hit.length);
    putText(hit.context);
    put(hit.highlightStart);
    put(hit.highlightLength);
}

void OutcomeSlot::record(const NameHitEvent& hit)
{
    put(Op::NameHit);
    put(hit.kind);
    put(hit.directory);
    putText(hit.path);
    put(hit.searchLength);
}

void OutcomeSlot::record(const RunError& error)
{
    put(Op::Error);
    put(error.kind);
    put(error.place);
    putText(error.path);
    putText(error.message);
    putText(error.position);
}

void OutcomeSlot::record(const RunNote& note)
{
    put(Op::Note);
    put(note.kind);
    putText(note.path);
    putText(note.detail);
}

void OutcomeSlot::record(const Commit& commit)
{
    put(Op::Commit);
    put(commit.kind);
    putText(commit.path);
    put(commit.replacements);
}

void OutcomeSlot::record(const EntryEnd& end)
{
    put(Op::EndEntry);
    put(end.hits);
    put(end.files);
}

void OutcomeSlot::replay(RunSink& target)
{
    Reader in(m_bytes);
    while (!in.done()) {
        switch (in.get<Op>()) {
        case Op::BeginEntry: {
            EntryStart entry;
            entry.path = in.text();
            entry.kind = in.get<EntryKind>();
            entry.encoding = in.get<std::int32_t>();
            target.beginEntry(entry);
            break;
        }
        case Op::Hit: {
            HitEvent hit;
            hit.kind = in.get<HitKind>();
            hit.inDocument = in.get<bool>();
            hit.path = in.text();
            hit.position = in.get<std::int64_t>();
            hit.positionText = in.text();
            hit.length = in.get<std::int64_t>();
            hit.context = in.text();
            hit.highlightStart = in.get<std::int32_t>();
            hit.highlightLength = in.get<std::int64_t>();
            target.hit(hit);
            break;
        }
        case Op::NameHit: {
            NameHitEvent hit;
            hit.kind = in.get<NameHitKind>();
            hit.directory = in.get<bool>();
            hit.path = in.text();
            hit.searchLength = in.get<std::int64_t>();
            target.nameHit(hit);
            break;
        }
        case Op::Error: {
            RunError error;
            error.kind = in.get<ErrorKind>();
            error.place = in.get<ErrorPlace>();
            error.path = in.text();
            error.message = in.text();
            error.position = in.text();
            target.error(error);
            break;
        }
        case Op::Note: {
            RunNote note;
            note.kind = in.get<NoteKind>();
            note.path = in.text();
            note.detail = in.text();
            target.note(note);
            break;
        }
        case Op::Commit: {
            Commit commit;
            commit.kind = in.get<CommitKind>();
            commit.path = in.text();
            commit.replacements = in.get<std::int64_t>();
            target.committed(commit);
            break;
        }
        case Op::EndEntry: {
            EntryEnd end;
            end.hits = in.get<std::int32_t>();
            end.files = in.get<std::int32_t>();
            target.endEntry(end);
            break;
        }
        }
    }
    m_bytes.clear();
}

}  // namespace tarnwick
