#include "ui/results/ResultsCommands.h"

#include <sys/stat.h>

#include "ui/results/ResultTarget.h"
#include "ui/results/ResultsCommandTexts.h"

namespace tarnwick::ui {

using namespace ResultsCommandId;

bool IsResultsCommandEnabledByRule(int id, const ResultsCommandInputs& in)
{
    const ItemKind kind = in.selectedKind;
    switch (id) {
    case OpenInViewer: return kind == ItemKind::File || kind == ItemKind::Document;
    case OpenWithProgram: return kind == ItemKind::File || kind == ItemKind::FileNameHit || kind == ItemKind::Document;
    case ReplaceMarked:
    case MarkAll:
    case MarkNone: return in.itemCount > 2 && in.lastRunWasSearch;
    case Export:
    case ExpandAll:
    case CollapseAll: return in.itemCount >= 1;
    default: return false;
    }
}

ItemKind EffectiveKind(const ResultList& list, ItemHandle item)
{
    if (item == kNoItem) return ItemKind::None;
    const ItemKind kind = list.Kind(item);
    if (kind == ItemKind::None && list.Parent(item) != kNoItem) return ItemKind::File;
    return kind;
}

std::optional<std::string> FileForAssociatedProgram(const ResultList& list, ItemHandle item)
{
    if (item == kNoItem) return std::nullopt;
    const ItemKind kind = list.Kind(item);
    if (list.HasChildren(item) || kind == ItemKind::FileNameHit) return list.ColumnText(item, ResultColumn::FileOrContext);
    if (kind == ItemKind::DirNameHit) return std::nullopt;
    const ItemHandle parent = list.Parent(item);
    if (parent == kNoItem) return std::nullopt;
    return list.ColumnText(parent, ResultColumn::FileOrContext);
}

std::optional<EditorTarget> ExternalEditorTarget(const ResultList& list, ItemHandle item)
{
    const std::optional<ResultTarget> target = ResultTargetOf(list, item);
    if (!target || target->fileKind == ItemKind::Document || target->path.empty()) return std::nullopt;
    return EditorTarget{target->path, target->position.value_or(0)};
}

bool ShowsContextMenu(const ResultList& list, const std::vector<ItemHandle>& selected)
{
    if (selected.size() != 1) return true;
    const ItemKind kind = list.Kind(selected.front());
    return kind != ItemKind::Info && kind != ItemKind::Error;
}

ResultsCommands::ResultsCommands(ResultList& list, ResultsCommandHost& host) : m_list(list), m_host(host) {}

ItemHandle ResultsCommands::firstSelected() const
{
    const std::vector<ItemHandle> selected = m_list.SelectedItems();
    return selected.empty() ? kNoItem : selected.front();
}

ResultsCommandInputs ResultsCommands::inputs() const
{
    return {m_list.ItemCount(), EffectiveKind(m_list, firstSelected()), m_lastRunWasSearch};
}

bool ResultsCommands::isEnabled(int id) const
{
    // The worker reads the marks while it replaces in the marked results:
    // nothing may change them, nor start a second such run.
    if (m_selectedReplaceRunning) return false;
    if (id == OpenInViewer && !m_openInViewer) return false;
    if (id == Export && !m_export) return false;
    if (id == ReplaceMarked && !m_replacer) return false;
    if (id == OpenInExternalEditor) return m_externalEditor && ExternalEditorTarget(m_list, firstSelected()).has_value();
    return IsResultsCommandEnabledByRule(id, inputs());
}

bool ResultsCommands::execute(int id)
{
    if (!isEnabled(id)) return false;
    switch (id) {
    case OpenInViewer: m_openInViewer(firstSelected()); break;
    case OpenWithProgram: openWithAssociatedProgram(); break;
    case OpenInExternalEditor: openInExternalEditor(); break;
    case ReplaceMarked: replaceInMarkedResults(); break;
    case MarkAll:
    case MarkNone:
        m_list.SetAllChecked(id == MarkAll);
        m_host.refreshItems();
        break;
    case Export: m_export(); break;
    case ExpandAll:
    case CollapseAll: m_host.setAllExpanded(id == ExpandAll); break;
    default: return false;
    }
    return true;
}

void ResultsCommands::openHit(ItemHandle hit)
{
    if (hit == kNoItem || m_selectedReplaceRunning || !m_openInViewer) return;
    m_openInViewer(hit);
}

void ResultsCommands::openWithAssociatedProgram()
{
    const std::optional<std::string> path = FileForAssociatedProgram(m_list, firstSelected());
    struct stat info {};
    // A file that has gone since the run is silently left alone.
    if (!path || path->empty() || ::stat(path->c_str(), &info) != 0) return;
    if (!m_host.openWithAssociatedProgram(*path)) m_host.showError(kShellOpenFailed);
}

void ResultsCommands::openInExternalEditor()
{
    if (const std::optional<EditorTarget> target = ExternalEditorTarget(m_list, firstSelected()))
        m_externalEditor(target->path, target->position);
}

void ResultsCommands::replaceInMarkedResults()
{
    // Disabled first: the worker starts inside the call and must find the
    // marks as they were when the user asked.
    m_selectedReplaceRunning = true;
    m_host.setPaneEnabled(false);
    if (m_replacer->startReplaceInMarkedResults()) return;
    m_selectedReplaceRunning = false;
    m_host.setPaneEnabled(true);
}

void ResultsCommands::selectedReplaceFinished()
{
    if (!m_selectedReplaceRunning) return;
    m_selectedReplaceRunning = false;
    m_host.setPaneEnabled(true);
    m_host.refreshItems();
}

}  // namespace tarnwick::ui
