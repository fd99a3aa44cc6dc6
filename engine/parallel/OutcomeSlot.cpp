#include "engine/parallel/OutcomeSlot.h"

#include <cstring>
#include <type_traits>

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

// Writes one event's fields in the order of its field list.
class Writer {
public:
    explicit Writer(std::string& bytes) : m_bytes(bytes) {}
    template <typename T>
    void operator()(const T& value)
    {
        char raw[sizeof value];
        std::memcpy(raw, &value, sizeof value);
        m_bytes.append(raw, sizeof value);
    }
    void operator()(std::string_view text)
    {
        (*this)(static_cast<std::uint32_t>(text.size()));
        m_bytes.append(text);
    }

private:
    std::string& m_bytes;
};

// Reads the records back in the order they were written.
class Reader {
public:
    explicit Reader(std::string_view bytes) : m_at(bytes.data()), m_end(bytes.data() + bytes.size()) {}
    bool done() const { return m_at >= m_end; }
    template <typename T>
    void operator()(T& value)
    {
        std::memcpy(&value, m_at, sizeof value);
        m_at += sizeof value;
    }
    void operator()(std::string_view& text)
    {
        std::uint32_t length = 0;
        (*this)(length);
        text = std::string_view(m_at, length);
        m_at += length;
    }

private:
    const char* m_at;
    const char* m_end;
};

// Each event's fields, once for writing and reading alike, so that the two
// cannot fall out of step. `Event` is const when written.
template <typename Event, typename Io>
void Fields(Event& e, Io& io)
{
    using Plain = std::remove_const_t<Event>;
    if constexpr (std::is_same_v<Plain, EntryStart>) {
        io(e.path), io(e.kind), io(e.encoding);
    } else if constexpr (std::is_same_v<Plain, HitEvent>) {
        io(e.kind), io(e.inDocument), io(e.path), io(e.position), io(e.positionText), io(e.length), io(e.context);
        io(e.highlightStart), io(e.highlightLength);
    } else if constexpr (std::is_same_v<Plain, NameHitEvent>) {
        io(e.kind), io(e.directory), io(e.path), io(e.searchLength);
    } else if constexpr (std::is_same_v<Plain, RunError>) {
        io(e.kind), io(e.place), io(e.path), io(e.message), io(e.position);
    } else if constexpr (std::is_same_v<Plain, RunNote>) {
        io(e.kind), io(e.path), io(e.detail);
    } else if constexpr (std::is_same_v<Plain, Commit>) {
        io(e.kind), io(e.path), io(e.replacements);
    } else {
        static_assert(std::is_same_v<Plain, EntryEnd>);
        io(e.hits), io(e.files);
    }
}

template <typename Event>
void Record(std::string& bytes, Op op, const Event& event)
{
    Writer out(bytes);
    out(op);
    Fields(event, out);
}

template <typename Event>
void Replay(Reader& in, RunSink& target)
{
    Event event;
    Fields(event, in);
    if constexpr (std::is_same_v<Event, EntryStart>)
        target.beginEntry(event);
    else if constexpr (std::is_same_v<Event, HitEvent>)
        target.hit(event);
    else if constexpr (std::is_same_v<Event, NameHitEvent>)
        target.nameHit(event);
    else if constexpr (std::is_same_v<Event, RunError>)
        target.error(event);
    else if constexpr (std::is_same_v<Event, RunNote>)
        target.note(event);
    else if constexpr (std::is_same_v<Event, Commit>)
        target.committed(event);
    else
        target.endEntry(event);
}

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

void OutcomeSlot::record(const EntryStart& entry) { Record(m_bytes, Op::BeginEntry, entry); }
void OutcomeSlot::record(const HitEvent& hit) { Record(m_bytes, Op::Hit, hit); }
void OutcomeSlot::record(const NameHitEvent& hit) { Record(m_bytes, Op::NameHit, hit); }
void OutcomeSlot::record(const RunError& error) { Record(m_bytes, Op::Error, error); }
void OutcomeSlot::record(const RunNote& note) { Record(m_bytes, Op::Note, note); }
void OutcomeSlot::record(const Commit& commit) { Record(m_bytes, Op::Commit, commit); }
void OutcomeSlot::record(const EntryEnd& end) { Record(m_bytes, Op::EndEntry, end); }

void OutcomeSlot::replay(RunSink& target)
{
    Reader in(m_bytes);
    while (!in.done()) {
        Op op{};
        in(op);
        switch (op) {
        case Op::BeginEntry: Replay<EntryStart>(in, target); break;
        case Op::Hit: Replay<HitEvent>(in, target); break;
        case Op::NameHit: Replay<NameHitEvent>(in, target); break;
        case Op::Error: Replay<RunError>(in, target); break;
        case Op::Note: Replay<RunNote>(in, target); break;
        case Op::Commit: Replay<Commit>(in, target); break;
        case Op::EndEntry: Replay<EntryEnd>(in, target); break;
        }
    }
    m_bytes.clear();
}

}  // namespace tarnwick
