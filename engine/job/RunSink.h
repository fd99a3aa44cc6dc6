#pragma once
// Where the results of a run go, in the order the engine makes them: result
// items (with the meaning of the result list's operations of the same
// names), run log lines and changes of the hit and file counters.
//
// Implementations: the result list and run log text of the desktop program
// (StoreSink), a recording of one file's outcome that is passed on later in
// walk order (OutcomeSlot), and the terminal program's printer. A sink is
// used by one thread at a time; handles it returns mean something only to
// the sink that returned them.
#include <cstdint>
#include <string>
#include <string_view>

#include "results/ResultList.h"

namespace tarnwick {

class RunSink {
public:
    virtual ~RunSink() = default;

    virtual ItemHandle AddFileItem(std::string_view text, ItemKind kind, bool asChild = false) = 0;
    // A file item that becomes the current one; `value` is its encoding code.
    virtual ItemHandle AddNoteItem(std::string_view text, ItemKind kind, std::int32_t value) = 0;
    // A hit under the current file item.
    virtual void AddHitItem(std::int64_t position, std::int64_t matchLength, std::string_view context,
                            std::int32_t highlightStart, ItemKind kind, std::int64_t highlightLength) = 0;
    // The position column of the hit added last reads `text` instead of its
    // number (a hit in a part of a document: results/HitPosition.h). A sink
    // that keeps no items need not implement it.
    virtual void SetLastHitPosition(std::string_view /*text*/) {}
    virtual void UpdateItem(ItemHandle item, ResultColumn column, UpdateWhat what, std::string_view text, ItemKind kind) = 0;
    virtual void UpdateCurrentFileItem(ResultColumn column, UpdateWhat what, std::string_view text, ItemKind kind) = 0;
    virtual void SetItemColumnText(ItemHandle item, std::string_view text, ResultColumn column) = 0;
    virtual void SetItemDataValue(ItemHandle item, std::int64_t value) = 0;
    virtual void ScrollToItem(ItemHandle item) = 0;

    // Bytes of the run log text, each line with its own CR LF.
    virtual void AppendLog(std::string_view bytes) = 0;
    // Changes of the worker's hit and file counters.
    virtual void AddCounts(std::int32_t hits, std::int32_t files) = 0;
    // Everything one directory entry produced has been passed on; a sink
    // that prints may hand its output over now.
    virtual void EndOfOutcome() {}
    // False when AddHitItem is of no use to the sink (it prints the run log
    // lines and keeps no list), so that hits need not be recorded for it.
    virtual bool wantsHitItems() const { return true; }

    // The run log lines of the engine, formatted here so that no caller
    // builds a string per line.
    void LogHitLine(std::string_view path, std::int64_t offset, std::int64_t length, std::string_view context);
    // The same with a position given as text (a part of a document and the position in it).
    void LogHitLine(std::string_view path, std::string_view position, std::int64_t length, std::string_view context);
    void LogReplacementLine(std::string_view path, std::int64_t offset, std::string_view context);
    void LogNameHitLine(std::string_view reason, std::string_view path);
    void LogCannotOpenLine();
    void LogMessageLine(std::string_view message, std::string_view path);

private:
    std::string m_line;  // reused for every line
};

}  // namespace tarnwick
