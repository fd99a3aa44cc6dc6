#include "engine/job/StoreSink.h"

#include "engine/job/RunContext.h"
#include "engine/log/RunLog.h"

namespace tarnwick {

StoreSink::~StoreSink()
{
    // A run ended by an exception has not flushed; what it found still counts.
    try {
        flushHits();
    } catch (...) {
    }
}

void StoreSink::flushHits()
{
    if (m_hits.empty()) return;
    m_lastHit = m_results.AddHitItems(m_hits);
    m_hits.clear();
}

ItemHandle StoreSink::AddFileItem(std::string_view text, ItemKind kind, bool asChild)
{
    flushHits();
    return m_results.AddFileItem(text, kind, asChild);
}

ItemHandle StoreSink::AddNoteItem(std::string_view text, ItemKind kind, std::int32_t value)
{
    flushHits();
    return m_results.AddNoteItem(text, kind, value);
}

void StoreSink::AddHitItem(std::int64_t position, std::int64_t matchLength, std::string_view context, std::int32_t highlightStart,
                           ItemKind kind, std::int64_t highlightLength)
{
    if (!m_batchHits) {
        m_lastHit = m_results.AddHitItem(position, matchLength, context, highlightStart, kind, highlightLength);
        return;
    }
    m_hits.add(position, matchLength, context, highlightStart, kind, highlightLength);
    if (m_hits.size() >= kBatchHits) flushHits();
}

void StoreSink::SetLastHitPosition(std::string_view text)
{
    flushHits();
    m_results.SetItemColumnText(m_lastHit, text, ResultColumn::Position);
}

void StoreSink::UpdateItem(ItemHandle item, ResultColumn column, UpdateWhat what, std::string_view text, ItemKind kind)
{
    flushHits();
    m_results.UpdateItem(item, column, what, text, kind);
}

void StoreSink::UpdateCurrentFileItem(ResultColumn column, UpdateWhat what, std::string_view text, ItemKind kind)
{
    flushHits();
    m_results.UpdateCurrentFileItem(column, what, text, kind);
}

void StoreSink::SetItemColumnText(ItemHandle item, std::string_view text, ResultColumn column)
{
    flushHits();
    m_results.SetItemColumnText(item, text, column);
}

void StoreSink::SetItemDataValue(ItemHandle item, std::int64_t value)
{
    flushHits();
    m_results.SetItemDataValue(item, value);
}

void StoreSink::ScrollToItem(ItemHandle item)
{
    flushHits();
    m_results.ScrollToItem(item);
}

void StoreSink::AppendLog(std::string_view bytes) { m_runLog.Append(bytes); }

void CountingSink::AddCounts(std::int32_t hits, std::int32_t files)
{
    if (hits) m_counters.hits.fetch_add(hits, std::memory_order_relaxed);
    if (files) m_counters.files.fetch_add(files, std::memory_order_relaxed);
    ForwardingSink::AddCounts(hits, files);
}

ItemHandle CountingSink::AddFileItem(std::string_view text, ItemKind kind, bool asChild)
{
    if (kind == ItemKind::Error) m_counters.errors.fetch_add(1, std::memory_order_relaxed);
    return ForwardingSink::AddFileItem(text, kind, asChild);
}

ItemHandle CountingSink::AddNoteItem(std::string_view text, ItemKind kind, std::int32_t value)
{
    if (kind == ItemKind::Error) m_counters.errors.fetch_add(1, std::memory_order_relaxed);
    return ForwardingSink::AddNoteItem(text, kind, value);
}

void CountingSink::UpdateItem(ItemHandle item, ResultColumn column, UpdateWhat what, std::string_view text, ItemKind kind)
{
    if (UpdatesKind(what) && kind == ItemKind::Error) m_counters.errors.fetch_add(1, std::memory_order_relaxed);
    ForwardingSink::UpdateItem(item, column, what, text, kind);
}

void CountingSink::UpdateCurrentFileItem(ResultColumn column, UpdateWhat what, std::string_view text, ItemKind kind)
{
    if (UpdatesKind(what) && kind == ItemKind::Error) m_counters.errors.fetch_add(1, std::memory_order_relaxed);
    ForwardingSink::UpdateCurrentFileItem(column, what, text, kind);
}

}  // namespace tarnwick
