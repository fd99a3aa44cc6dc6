#pragma once
// The sinks a run's output ends in: the result list with the run log text
// (what the desktop program shows and logs), and wrappers that pass
// everything on to another sink (one of them keeps the worker's counters).
// Each forwards to objects it does not own.
#include "engine/job/RunSink.h"
#include "results/HitBatch.h"

namespace tarnwick {

class RunLog;
struct RunCounters;

// The result list and the run log text. Counter changes go nowhere.
// With `batchHits`, hits reach the list in batches (HitBatch): at the end of
// each entry's outcome, before anything else reaches the list, when a batch
// is full, and by flushHits(), which the run calls when it ends. Without,
// each hit is in the list when AddHitItem returns.
class StoreSink final : public RunSink {
public:
    StoreSink(ResultList& results, RunLog& runLog, bool batchHits = false)
        : m_results(results), m_runLog(runLog), m_batchHits(batchHits)
    {
    }
    ~StoreSink() override;

    ItemHandle AddFileItem(std::string_view text, ItemKind kind, bool asChild = false) override;
    ItemHandle AddNoteItem(std::string_view text, ItemKind kind, std::int32_t value) override;
    void AddHitItem(std::int64_t position, std::int64_t matchLength, std::string_view context, std::int32_t highlightStart,
                    ItemKind kind, std::int64_t highlightLength) override;
    void SetLastHitPosition(std::string_view text) override;
    void UpdateItem(ItemHandle item, ResultColumn column, UpdateWhat what, std::string_view text, ItemKind kind) override;
    void UpdateCurrentFileItem(ResultColumn column, UpdateWhat what, std::string_view text, ItemKind kind) override;
    void SetItemColumnText(ItemHandle item, std::string_view text, ResultColumn column) override;
    void SetItemDataValue(ItemHandle item, std::int64_t value) override;
    void ScrollToItem(ItemHandle item) override;
    void AppendLog(std::string_view bytes) override;
    void AddCounts(std::int32_t, std::int32_t) override {}
    void EndOfOutcome() override { flushHits(); }

    // Puts the hits gathered so far into the list.
    void flushHits();

private:
    // Enough to take the lock rarely, few enough that a file with very many
    // hits still shows them in steps.
    static constexpr std::size_t kBatchHits = 512;

    ResultList& m_results;
    RunLog& m_runLog;
    const bool m_batchHits;
    HitBatch m_hits;
    ItemHandle m_lastHit = kNoItem;
};

// Passes everything on to `inner`; a subclass looks at what it needs on the way.
class ForwardingSink : public RunSink {
public:
    explicit ForwardingSink(RunSink& inner) : m_inner(inner) {}

    ItemHandle AddFileItem(std::string_view text, ItemKind kind, bool asChild = false) override
    {
        return m_inner.AddFileItem(text, kind, asChild);
    }
    ItemHandle AddNoteItem(std::string_view text, ItemKind kind, std::int32_t value) override
    {
        return m_inner.AddNoteItem(text, kind, value);
    }
    void AddHitItem(std::int64_t position, std::int64_t matchLength, std::string_view context, std::int32_t highlightStart,
                    ItemKind kind, std::int64_t highlightLength) override
    {
        m_inner.AddHitItem(position, matchLength, context, highlightStart, kind, highlightLength);
    }
    void SetLastHitPosition(std::string_view text) override { m_inner.SetLastHitPosition(text); }
    void UpdateItem(ItemHandle item, ResultColumn column, UpdateWhat what, std::string_view text, ItemKind kind) override
    {
        m_inner.UpdateItem(item, column, what, text, kind);
    }
    void UpdateCurrentFileItem(ResultColumn column, UpdateWhat what, std::string_view text, ItemKind kind) override
    {
        m_inner.UpdateCurrentFileItem(column, what, text, kind);
    }
    void SetItemColumnText(ItemHandle item, std::string_view text, ResultColumn column) override
    {
        m_inner.SetItemColumnText(item, text, column);
    }
    void SetItemDataValue(ItemHandle item, std::int64_t value) override { m_inner.SetItemDataValue(item, value); }
    void ScrollToItem(ItemHandle item) override { m_inner.ScrollToItem(item); }
    void AppendLog(std::string_view bytes) override { m_inner.AppendLog(bytes); }
    void AddCounts(std::int32_t hits, std::int32_t files) override { m_inner.AddCounts(hits, files); }
    void EndOfOutcome() override { m_inner.EndOfOutcome(); }
    bool wantsHitItems() const override { return m_inner.wantsHitItems(); }

private:
    RunSink& m_inner;
};

// Adds the counter changes to the worker's counters on the way, and counts
// the error items (new ones and items turned into errors).
class CountingSink final : public ForwardingSink {
public:
    CountingSink(RunSink& inner, RunCounters& counters) : ForwardingSink(inner), m_counters(counters) {}
    void AddCounts(std::int32_t hits, std::int32_t files) override;
    ItemHandle AddFileItem(std::string_view text, ItemKind kind, bool asChild = false) override;
    ItemHandle AddNoteItem(std::string_view text, ItemKind kind, std::int32_t value) override;
    void UpdateItem(ItemHandle item, ResultColumn column, UpdateWhat what, std::string_view text, ItemKind kind) override;
    void UpdateCurrentFileItem(ResultColumn column, UpdateWhat what, std::string_view text, ItemKind kind) override;

private:
    RunCounters& m_counters;
};

}  // namespace tarnwick
