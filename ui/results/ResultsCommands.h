#pragma once
// What the results commands do and when they apply, without any widget: the
// results pane binds its actions to this class and carries out the few
// steps that need the desktop through ResultsCommandHost.
//
// Not thread-safe: used on the user interface thread only. The result list
// itself may be appended to by the worker meanwhile.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "results/ResultList.h"

namespace tarnwick::ui {

// What the enabling rules read.
struct ResultsCommandInputs {
    std::size_t itemCount = 0;
    ItemKind selectedKind = ItemKind::None;  // of the first selected item; None: nothing selected
    bool lastRunWasSearch = false;
};

// The enabling table of the results commands; false for unknown ids.
bool IsResultsCommandEnabledByRule(int id, const ResultsCommandInputs& inputs);

// The kind the command rules see: a hit without a kind of its own counts as
// a file. ItemKind::None for no item.
ItemKind EffectiveKind(const ResultList& list, ItemHandle item);

// The file that "open with the associated program" opens for the item:
// the item's own path for a file with hits or a file-name hit, the parent's
// path for a hit, nothing for a directory-name hit or another item.
std::optional<std::string> FileForAssociatedProgram(const ResultList& list, ItemHandle item);

// The file and byte position "In externem Editor öffnen" opens for the item:
// a hit's file at the hit, a file with hits at its start; nothing for a
// word-processor document and for items that lead to no file.
struct EditorTarget {
    std::string path;
    std::int64_t position = 0;
};
std::optional<EditorTarget> ExternalEditorTarget(const ResultList& list, ItemHandle item);

// Whether the context menu is shown for this selection: not when exactly one
// item is selected and it is an info line or an error.
bool ShowsContextMenu(const ResultList& list, const std::vector<ItemHandle>& selected);

// Implemented by the search form: reads its fields, asks about an empty
// replacement text, converts escapes, hands the text to the worker and
// starts StartSelectedReplace. Returns false when nothing was started (the
// user cancelled or the conversion failed).
class MarkedResultsReplacer {
public:
    virtual ~MarkedResultsReplacer() = default;
    virtual bool startReplaceInMarkedResults() = 0;
};

// The desktop side of the commands, implemented by the results pane.
class ResultsCommandHost {
public:
    virtual ~ResultsCommandHost() = default;
    virtual void setAllExpanded(bool expanded) = 0;
    // The marks of many items changed.
    virtual void refreshItems() = 0;
    // Asks the desktop to open the file with its default application;
    // false when no program could be started.
    virtual bool openWithAssociatedProgram(const std::string& path) = 0;
    virtual void showError(std::string_view text) = 0;
    virtual void setPaneEnabled(bool enabled) = 0;
};

class ResultsCommands {
public:
    ResultsCommands(ResultList& list, ResultsCommandHost& host);

    void setLastRunWasSearch(bool value) { m_lastRunWasSearch = value; }
    bool lastRunWasSearch() const { return m_lastRunWasSearch; }
    // Targets that later parts of the program provide; a command without
    // its target stays disabled.
    void setReplacer(MarkedResultsReplacer* replacer) { m_replacer = replacer; }
    void setOpenInViewerHook(std::function<void(ItemHandle)> hook) { m_openInViewer = std::move(hook); }
    void setExportHook(std::function<void()> hook) { m_export = std::move(hook); }
    // Opens a file at a byte position in the user's own editor.
    using ExternalEditorHook = std::function<void(const std::string& path, std::int64_t position)>;
    void setExternalEditorHook(ExternalEditorHook hook) { m_externalEditor = std::move(hook); }

    ResultsCommandInputs inputs() const;
    bool isEnabled(int id) const;
    // Runs the command if it is enabled; returns whether it ran.
    bool execute(int id);
    // Double click or Enter on a hit: opens that hit in the viewer or Word.
    void openHit(ItemHandle hit);

    // The worker reported the end of a replace in the marked results.
    void selectedReplaceFinished();
    bool isSelectedReplaceRunning() const { return m_selectedReplaceRunning; }

private:
    ItemHandle firstSelected() const;
    void openWithAssociatedProgram();
    void openInExternalEditor();
    void replaceInMarkedResults();

    ResultList& m_list;
    ResultsCommandHost& m_host;
    MarkedResultsReplacer* m_replacer = nullptr;
    std::function<void(ItemHandle)> m_openInViewer;
    std::function<void()> m_export;
    ExternalEditorHook m_externalEditor;
    bool m_lastRunWasSearch = false;
    bool m_selectedReplaceRunning = false;
};

}  // namespace tarnwick::ui
