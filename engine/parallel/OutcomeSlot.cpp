#include "engine/parallel/OutcomeSlot.h"

#include <cstring>

namespace tarnwick {
namespace {

// Local handles carry this bit; the handles of a result list never do.
constexpr ItemHandle kLocalBit = 0x80000000u;

enum class Op : std::uint8_t {
    FileItem,
    NoteItem,
    HitItem,
    LastHitPosition,
    UpdateItem,
    UpdateCurrentFileItem,
    ColumnText,
    DataValue,
    Scroll,
    Log,
    Counts,
};

bool isLocal(ItemHandle handle) { return handle != kNoItem && (handle & kLocalBit) != 0; }

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
    m_targetHandles.clear();
    m_localCount = 0;
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

ItemHandle OutcomeSlot::newLocalHandle() { return kLocalBit | m_localCount++; }

ItemHandle OutcomeSlot::recordFileItem(std::string_view text, ItemKind kind, bool asChild)
{
    put(Op::FileItem);
    putText(text);
    put(kind);
    put(asChild);
    return newLocalHandle();
}

ItemHandle OutcomeSlot::recordNoteItem(std::string_view text, ItemKind kind, std::int32_t value)
{
    put(Op::NoteItem);
    putText(text);
    put(kind);
    put(value);
    return newLocalHandle();
}

void OutcomeSlot::recordHitItem(std::int64_t position, std::int64_t matchLength, std::string_view context,
                                std::int32_t highlightStart, ItemKind kind, std::int64_t highlightLength)
{
    put(Op::HitItem);
    put(position);
    put(matchLength);
    putText(context);
    put(highlightStart);
    put(kind);
    put(highlightLength);
}

void OutcomeSlot::recordLastHitPosition(std::string_view text)
{
    put(Op::LastHitPosition);
    putText(text);
}

void OutcomeSlot::recordUpdateItem(ItemHandle item, ResultColumn column, UpdateWhat what, std::string_view text, ItemKind kind)
{
    put(Op::UpdateItem);
    put(item);
    put(column);
    put(what);
    putText(text);
    put(kind);
}

void OutcomeSlot::recordUpdateCurrentFileItem(ResultColumn column, UpdateWhat what, std::string_view text, ItemKind kind)
{
    put(Op::UpdateCurrentFileItem);
    put(column);
    put(what);
    putText(text);
    put(kind);
}

void OutcomeSlot::recordColumnText(ItemHandle item, std::string_view text, ResultColumn column)
{
    put(Op::ColumnText);
    put(item);
    putText(text);
    put(column);
}

void OutcomeSlot::recordDataValue(ItemHandle item, std::int64_t value)
{
    put(Op::DataValue);
    put(item);
    put(value);
}

void OutcomeSlot::recordScroll(ItemHandle item)
{
    put(Op::Scroll);
    put(item);
}

void OutcomeSlot::recordLog(std::string_view bytes)
{
    put(Op::Log);
    putText(bytes);
}

void OutcomeSlot::recordCounts(std::int32_t hits, std::int32_t files)
{
    put(Op::Counts);
    put(hits);
    put(files);
}

ItemHandle OutcomeSlot::targetHandle(ItemHandle handle) const
{
    if (!isLocal(handle)) return handle;
    const std::uint32_t index = handle & ~kLocalBit;
    return index < m_targetHandles.size() ? m_targetHandles[index] : kNoItem;
}

void OutcomeSlot::replay(RunSink& target)
{
    Reader in(m_bytes);
    while (!in.done()) {
        switch (in.get<Op>()) {
        case Op::FileItem: {
            const std::string_view text = in.text();
            const auto kind = in.get<ItemKind>();
            const bool asChild = in.get<bool>();
            m_targetHandles.push_back(target.AddFileItem(text, kind, asChild));
            break;
        }
        case Op::NoteItem: {
            const std::string_view text = in.text();
            const auto kind = in.get<ItemKind>();
            const auto value = in.get<std::int32_t>();
            m_targetHandles.push_back(target.AddNoteItem(text, kind, value));
            break;
        }
        case Op::HitItem: {
            const auto position = in.get<std::int64_t>();
            const auto matchLength = in.get<std::int64_t>();
            const std::string_view context = in.text();
            const auto highlightStart = in.get<std::int32_t>();
            const auto kind = in.get<ItemKind>();
            const auto highlightLength = in.get<std::int64_t>();
            target.AddHitItem(position, matchLength, context, highlightStart, kind, highlightLength);
            break;
        }
        case Op::LastHitPosition: target.SetLastHitPosition(in.text()); break;
        case Op::UpdateItem: {
            const ItemHandle item = targetHandle(in.get<ItemHandle>());
            const auto column = in.get<ResultColumn>();
            const auto what = in.get<UpdateWhat>();
            const std::string_view text = in.text();
            const auto kind = in.get<ItemKind>();
            target.UpdateItem(item, column, what, text, kind);
            break;
        }
        case Op::UpdateCurrentFileItem: {
            const auto column = in.get<ResultColumn>();
            const auto what = in.get<UpdateWhat>();
            const std::string_view text = in.text();
            const auto kind = in.get<ItemKind>();
            target.UpdateCurrentFileItem(column, what, text, kind);
            break;
        }
        case Op::ColumnText: {
            const ItemHandle item = targetHandle(in.get<ItemHandle>());
            const std::string_view text = in.text();
            const auto column = in.get<ResultColumn>();
            target.SetItemColumnText(item, text, column);
            break;
        }
        case Op::DataValue: {
            const ItemHandle item = targetHandle(in.get<ItemHandle>());
            target.SetItemDataValue(item, in.get<std::int64_t>());
            break;
        }
        case Op::Scroll: target.ScrollToItem(targetHandle(in.get<ItemHandle>())); break;
        case Op::Log: target.AppendLog(in.text()); break;
        case Op::Counts: {
            const auto hits = in.get<std::int32_t>();
            const auto files = in.get<std::int32_t>();
            target.AddCounts(hits, files);
            break;
        }
        }
    }
    m_bytes.clear();
}

}  // namespace tarnwick
