#include "engine/job/StoreSink.h"

#include "engine/Messages.h"
#include "engine/job/RunContext.h"
#include "engine/job/RunEventLines.h"
#include "engine/log/RunLog.h"
#include "results/HitPosition.h"

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

template <typename Event>
void StoreSink::log(const Event& event)
{
    if (!m_runLog) return;
    m_line.clear();
    if (AppendRunLogLine(m_line, event)) m_runLog->append(m_line);
}

SinkReply StoreSink::onBeginEntry(const EntryStart& entry)
{
    flushHits();
    m_entry = entry.kind == EntryKind::File ? m_results.AddNoteItem(entry.path, ItemKind::File, entry.encoding)
                                            : m_results.AddFileItem(entry.path, ItemKind::Document);
    return SinkReply::Continue;
}

SinkReply StoreSink::onHit(const HitEvent& hit)
{
    log(hit);
    if (!m_batchHits) {
        m_lastHit =
            m_results.AddHitItem(hit.position, hit.length, hit.context, hit.highlightStart, ItemKind::None, hit.highlightLength);
    } else {
        m_hits.add(hit.position, hit.length, hit.context, hit.highlightStart, ItemKind::None, hit.highlightLength);
        if (m_hits.size() >= kBatchHits || !hit.positionText.empty()) flushHits();
    }
    if (!hit.positionText.empty()) m_results.SetItemColumnText(m_lastHit, hit.positionText, ResultColumn::Position);
    return SinkReply::Continue;
}

SinkReply StoreSink::onNameHit(const NameHitEvent& hit)
{
    log(hit);
    flushHits();
    const ItemHandle item = m_results.AddFileItem(hit.path, hit.directory ? ItemKind::DirNameHit : ItemKind::FileNameHit);
    m_results.SetItemColumnText(item, NameHitRemark(hit), ResultColumn::Remark);
    if (hit.searchLength >= 0) m_results.SetItemDataValue(item, hit.searchLength);
    m_results.ScrollToItem(item);
    return SinkReply::Continue;
}

SinkReply StoreSink::onError(const RunError& error)
{
    log(error);
    flushHits();
    switch (error.place) {
    case ErrorPlace::Entry: {
        const ItemHandle item = m_results.AddFileItem(error.path, ItemKind::Error);
        m_results.UpdateItem(item, ResultColumn::Remark, UpdateWhat::TextAndKind, error.message, ItemKind::Error);
        m_results.ScrollToItem(item);
        break;
    }
    case ErrorPlace::Message: m_results.ScrollToItem(m_results.AddFileItem(error.message, ItemKind::Error)); break;
    // The list brings the entry into sight itself.
    case ErrorPlace::CurrentEntry:
        m_results.UpdateCurrentFileItem(ResultColumn::Remark, UpdateWhat::TextAndKind, error.message, ItemKind::Error);
        break;
    case ErrorPlace::Occurrence: {
        // A child of the entry's item, so that the entry's later hits stay under the entry.
        const ItemHandle item = m_results.AddFileItem(error.path, ItemKind::Error, true);
        m_results.SetItemColumnText(item, error.position, ResultColumn::Position);
        m_results.SetItemColumnText(item, error.message, ResultColumn::Remark);
        break;
    }
    }
    return SinkReply::Continue;
}

SinkReply StoreSink::onNote(const RunNote& note)
{
    log(note);
    if (note.kind == NoteKind::WithoutHits) {
        flushHits();
        m_results.SetItemColumnText(m_entry, text::kWithoutHitsRemark, ResultColumn::Remark);
    } else if (note.kind == NoteKind::InsideNotReplaced) {
        flushHits();
        const ItemHandle item = m_results.AddFileItem(note.path, ItemKind::Info);
        m_results.SetItemColumnText(item, note.detail, ResultColumn::Remark);
    } else if (note.kind == NoteKind::AlreadyChangedAs) {
        flushHits();
        const ItemHandle item = m_results.AddFileItem(note.path, ItemKind::Info);
        std::string remark(text::kAlreadyChangedAs);
        remark.append(" ").append(note.detail);
        m_results.SetItemColumnText(item, remark, ResultColumn::Remark);
    }
    return SinkReply::Continue;
}

SinkReply StoreSink::onMarkedChange(const MarkedChange& change)
{
    flushHits();
    const ItemHandle item = change.item;
    switch (change.kind) {
    case MarkedChangeKind::Replaced:
    case MarkedChangeKind::Reverted:
        m_results.UpdateItem(item, ResultColumn::FileOrContext, UpdateWhat::Kind, {}, change.itemKind);
        break;
    case MarkedChangeKind::Failed:
        m_results.UpdateItem(item, ResultColumn::Remark, UpdateWhat::TextAndKind, change.message, ItemKind::Error);
        break;
    case MarkedChangeKind::Moved:
        m_results.SetItemColumnText(item, FormatHitPosition(change.part, change.position), ResultColumn::Position);
        break;
    case MarkedChangeKind::LeftAlone:
        m_results.UpdateItem(item, ResultColumn::Remark, UpdateWhat::Text, change.message, ItemKind::None);
        break;
    case MarkedChangeKind::Renamed:
        m_results.SetHasCheckBox(item, false);
        m_results.UpdateItem(item, ResultColumn::FileOrContext, UpdateWhat::Kind, {}, ItemKind::Replaced);
        break;
    case MarkedChangeKind::RenameFailed:
        m_results.UpdateItem(item, ResultColumn::Remark, UpdateWhat::TextAndKind, change.message, ItemKind::Error);
        m_results.SetHasCheckBox(item, false);
        break;
    // The file item's second datum: the list remembers the backup for as long as it holds these results.
    case MarkedChangeKind::BackupMade: m_results.SetItemData(item, m_results.Data(item).first, 1); break;
    }
    return SinkReply::Continue;
}

SinkReply StoreSink::onEndEntry(const EntryEnd&)
{
    flushHits();
    return SinkReply::Continue;
}

SinkReply StoreSink::onEndOfRun()
{
    flushHits();
    return SinkReply::Continue;
}

void CountingSink::add(std::int32_t hits, std::int32_t files)
{
    if (hits) m_counters.hits.fetch_add(hits, std::memory_order_relaxed);
    if (files) m_counters.files.fetch_add(files, std::memory_order_relaxed);
}

SinkReply CountingSink::onError(const RunError& error)
{
    m_counters.errors.fetch_add(1, std::memory_order_relaxed);
    return ForwardingSink::onError(error);
}

SinkReply CountingSink::onCommitted(const Commit& commit)
{
    switch (commit.kind) {
    case CommitKind::Contents: add(static_cast<std::int32_t>(commit.replacements), 1); break;
    case CommitKind::Name: add(0, 1); break;
    // The conversion counts its names as entries: "%d Einträge wurden umbenannt".
    case CommitKind::Lowercase: add(1, 0); break;
    }
    return ForwardingSink::onCommitted(commit);
}

SinkReply CountingSink::onEndEntry(const EntryEnd& end)
{
    add(end.hits, end.files);
    return ForwardingSink::onEndEntry(end);
}

}  // namespace tarnwick
