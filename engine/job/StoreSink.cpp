#include "engine/job/StoreSink.h"

#include "engine/job/RunContext.h"
#include "engine/log/RunLog.h"

namespace tarnwick {

ItemHandle StoreSink::AddFileItem(std::string_view text, ItemKind kind, bool asChild)
{
    return m_results.AddFileItem(text, kind, asChild);
}

ItemHandle StoreSink::AddNoteItem(std::string_view text, ItemKind kind, std::int32_t value)
{
    return m_results.AddNoteItem(text, kind, value);
}

void StoreSink::AddHitItem(std::int64_t position, std::int64_t matchLength, std::string_view context, std::int32_t highlightStart,
                           ItemKind kind, std::int64_t highlightLength)
{
    m_results.AddHitItem(position, matchLength, context, highlightStart, kind, highlightLength);
}

void StoreSink::UpdateItem(ItemHandle item, ResultColumn column, UpdateWhat what, std::string_view text, ItemKind kind)
{
    m_results.UpdateItem(item, column, what, text, kind);
}

void StoreSink::UpdateCurrentFileItem(ResultColumn column, UpdateWhat what, std::string_view text, ItemKind kind)
{
    m_results.UpdateCurrentFileItem(column, what, text, kind);
}

void StoreSink::SetItemColumnText(ItemHandle item, std::string_view text, ResultColumn column)
{
    m_results.SetItemColumnText(item, text, column);
}

void StoreSink::SetItemDataValue(ItemHandle item, std::int64_t value) { m_results.SetItemDataValue(item, value); }

void StoreSink::ScrollToItem(ItemHandle item) { m_results.ScrollToItem(item); }

void StoreSink::AppendLog(std::string_view bytes) { m_runLog.Append(bytes); }

void CountingSink::AddCounts(std::int32_t hits, std::int32_t files)
{
    if (hits) m_counters.hits.fetch_add(hits, std::memory_order_relaxed);
    if (files) m_counters.files.fetch_add(files, std::memory_order_relaxed);
    ForwardingSink::AddCounts(hits, files);
}

}  // namespace tarnwick
