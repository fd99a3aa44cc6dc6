#include "engine/replace/ReplaceSelected.h"

#include "engine/Messages.h"
#include "engine/inside/InsidePath.h"
#include "engine/job/RunContext.h"
#include "engine/job/RunReports.h"
#include "engine/job/SearchJob.h"
#include "engine/log/RunLog.h"
#include "engine/replace/BackupCopy.h"
#include "engine/replace/ChangedFiles.h"
#include "engine/replace/JournalHooks.h"
#include "engine/replace/MarkedFileEditor.h"
#include "engine/replace/Renaming.h"
#include "engine/walk/NameSearch.h"
#include "platform/FileCommit.h"
#include "platform/SystemError.h"
#include "results/HitPosition.h"
#include "results/ResultList.h"

#include <sys/stat.h>

#include <charconv>
#include <memory>
#include <optional>
#include <vector>

namespace tarnwick {
namespace {

bool exists(const std::string& path, struct stat& st) { return ::stat(path.c_str(), &st) == 0; }

// The number in the position column; nothing for an empty or damaged text.
std::optional<std::int64_t> parsePosition(const std::string& text)
{
    std::int64_t value = 0;
    const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
    if (result.ec != std::errc() || result.ptr != text.data() + text.size()) return std::nullopt;
    return value;
}

class SelectedReplacer {
public:
    explicit SelectedReplacer(RunContext& run) : m_run(run), m_results(*run.list) {}

    void run()
    {
        for (ItemHandle item = m_results.FirstMarkedItem(); item != kNoItem; item = m_results.NextMarkedItem(item)) {
            if (m_run.stopRequested()) {
                // The file being changed keeps its contents from before this run.
                m_editor.reset();
                if (m_currentIsDocument && m_run.documents) m_run.documents->AbandonMarked();
                revertCurrentFile(nullptr);
                return;
            }
            process(item);
        }
        finishCurrent(kNoItem);
    }

private:
    void fail(ItemHandle item, const std::string& message, const std::string& path)
    {
        m_run.sink.note({NoteKind::NotReplaced, path, message});
        m_results.UpdateItem(item, ResultColumn::Remark, UpdateWhat::TextAndKind, message, ItemKind::Error);
    }

    // A hit inside an archive, PDF or package: found, never replaced; the
    // remark once per file.
    void leaveInside(ItemHandle item, const std::string& path)
    {
        m_results.UpdateItem(item, ResultColumn::Remark, UpdateWhat::Text, text::kInsideNotReplaced, ItemKind::None);
        const std::string outer = path.substr(0, path.find(inside::kInsideSeparator));
        if (outer == m_lastInside) return;
        m_lastInside = outer;
        ReportInsideNotReplaced(m_run, outer);
    }

    // Writes the current file; a failure is reported on `item`, the item
    // being processed. Returns false then.
    bool finishCurrent(ItemHandle item)
    {
        std::optional<std::string> failure;
        if (m_currentIsDocument && m_run.documents) {
            std::string text = m_run.documents->FinishMarked();
            if (!text.empty()) failure = std::move(text);
        }
        m_currentIsDocument = false;
        if (m_editor) {
            failure = m_editor->Finish();
            if (!failure) m_changed.note(m_editor->file());
            m_editor.reset();
        }
        if (failure) {
            m_run.sink.note({NoteKind::NotReplaced, m_currentPath, *failure});
            if (item != kNoItem)
                m_results.UpdateItem(item, ResultColumn::Remark, UpdateWhat::TextAndKind, *failure, ItemKind::Error);
            revertCurrentFile(&*failure);
        }
        m_replacedInCurrent.clear();
        m_currentPath.clear();
        return !failure;
    }

    // The current file was not written: its hits that this run marked as
    // replaced are not, and the positions of later hits go back to what the
    // file still holds. With a failure, those hits carry its text.
    void revertCurrentFile(const std::string* failure)
    {
        if (m_replacedInCurrent.empty()) return;
        // Every position goes back before any hit becomes an error, which
        // would no longer be moved.
        for (auto it = m_replacedInCurrent.rbegin(); it != m_replacedInCurrent.rend(); ++it) {
            m_results.UpdateItem(it->item, ResultColumn::FileOrContext, UpdateWhat::Kind, {}, it->previousKind);
            shiftLaterHits(it->item, -it->delta);
        }
        if (failure)
            for (const PendingHit& hit : m_replacedInCurrent)
                m_results.UpdateItem(hit.item, ResultColumn::Remark, UpdateWhat::TextAndKind, *failure, ItemKind::Error);
        m_run.sink.note({NoteKind::NotChanged, m_currentPath, {}});
        m_replacedInCurrent.clear();
    }

    void process(ItemHandle item)
    {
        const ItemHandle parent = m_results.Parent(item);
        const ItemKind kind = m_results.Kind(item);
        std::string path;
        ItemKind parentKind = ItemKind::None;
        if (parent != kNoItem) {
            parentKind = m_results.Kind(parent);
            if (kind == ItemKind::Info || kind == ItemKind::Error || kind == ItemKind::Replaced ||
                kind == ItemKind::DocumentReplaced || parentKind == ItemKind::Error)
                return;
            path = m_results.ColumnText(parent, ResultColumn::FileOrContext);
        } else {
            if (kind != ItemKind::FileNameHit && kind != ItemKind::DirNameHit) return;
            path = m_results.ColumnText(item, ResultColumn::FileOrContext);
        }

        if (path != m_currentPath) {
            struct stat st {};
            if (path.find(inside::kInsideSeparator) != std::string::npos && !exists(path, st)) {
                leaveInside(item, path);
                return;
            }
            if (!exists(path, st)) {
                fail(item, text::kPathCannotOpen, path);
                return;
            }
            if (!finishCurrent(item)) return;
        }
        if (parent == kNoItem) {
            renameMarked(item, path);
        } else if (parentKind == ItemKind::Document) {
            replaceMarkedInDocument(item, path);
        } else {
            replaceMarkedHit(item, parent, path);
        }
    }

    void renameMarked(ItemHandle item, const std::string& path)
    {
        if (path == m_currentPath) finishCurrent(kNoItem);
        struct stat st {};
        if (!exists(path, st)) return;
        const bool isDirectory = S_ISDIR(st.st_mode);
        if (!(isDirectory ? m_run.job.searchDirNames : m_run.job.searchFileNames)) return;
        const auto slash = path.rfind('/');
        const std::string directory = slash == std::string::npos ? "." : path.substr(0, slash + 1);
        const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
        if (m_run.job.regularExpression && !NameMatches(m_run, name)) return;
        if (const std::error_code error = JournaledRename(m_run, directory, name, ReplaceInName(m_run, name))) {
            const std::string message = std::string(text::kRenameFailed) + ": " + TruncateText(SystemErrorText(error));
            fail(item, message, path);
            m_results.SetHasCheckBox(item, false);
            return;
        }
        m_results.SetHasCheckBox(item, false);
        m_results.UpdateItem(item, ResultColumn::FileOrContext, UpdateWhat::Kind, {}, ItemKind::Replaced);
    }

    bool openFile(ItemHandle item, ItemHandle parent, const std::string& path)
    {
        m_currentPath = path;
        auto editor = std::make_unique<MarkedFileEditor>(m_run);
        m_openFailure.clear();
        if (const std::error_code error = editor->Open(path)) {
            m_openFailure = std::string(text::kCannotOpenFile) + TruncateText(SystemErrorText(error));
            fail(item, m_openFailure, path);
            return false;
        }
        // A file marked under two names (a link and its target) is changed once.
        if (const std::string* first = m_changed.changedAs(editor->file().identity())) {
            m_openFailure = std::string(text::kAlreadyChangedAs) + " " + *first;
            fail(item, m_openFailure, path);
            return false;
        }
        // At most one backup copy per file for the lifetime of these results.
        const ItemData data = m_results.Data(parent);
        if (m_run.job.makeBackup && m_run.job.alwaysBackup) {
            if (data.second == 0) MakeBackupCopy(m_run, editor->file(), path);
            m_results.SetItemData(parent, data.first, 1);
        }
        if (!editor->Begin(item)) return false;
        m_editor = std::move(editor);
        return true;
    }

    void replaceMarkedHit(ItemHandle item, ItemHandle parent, const std::string& path)
    {
        if (path != m_currentPath && !openFile(item, parent, path)) return;
        if (!m_editor) {
            // The file could not be opened: each of its hits says so.
            if (!m_openFailure.empty()) fail(item, m_openFailure, path);
            return;
        }
        const std::optional<std::int64_t> position = parsePosition(m_results.ColumnText(item, ResultColumn::Position));
        const std::int64_t length = m_results.Data(item).first;
        // Matched again exactly over the hit, which gives its groups; a hit
        // that no longer matches there is reported as changed.
        if (!position || !m_editor->ReplaceAt(*position, length)) {
            fail(item, text::kChangedSinceSearch, path);
            return;
        }
        markReplaced(item, ItemKind::Replaced, m_editor->replacementLength() - length);
    }

    void replaceMarkedInDocument(ItemHandle item, const std::string& path)
    {
        // Documents are changed through the connection the search started;
        // without it there is nothing to change them with.
        if (!m_run.documents || !m_run.documents->IsStarted()) {
            fail(item, text::kWordCannotStart, path);
            return;
        }
        m_currentPath = path;
        m_currentIsDocument = true;
        // A damaged position (-1) never holds the search text, so the hit is reported as changed.
        const HitPosition at = ParseHitPosition(m_results.ColumnText(item, ResultColumn::Position)).value_or(HitPosition{{}, -1});
        const std::int64_t length = m_results.Data(item).first;
        const bool backup = m_run.job.makeBackup && m_run.job.alwaysBackup;
        const DocumentEdit edit = m_run.documents->ReplaceMarked(m_run, path, at.part, at.position, length, backup);
        if (!edit.replaced) {
            fail(item, edit.error, path);
            return;
        }
        markReplaced(item, ItemKind::DocumentReplaced, edit.delta);
    }

    void markReplaced(ItemHandle item, ItemKind kind, std::int64_t delta)
    {
        m_replacedInCurrent.push_back({item, m_results.Kind(item), delta});
        m_results.UpdateItem(item, ResultColumn::FileOrContext, UpdateWhat::Kind, {}, kind);
        shiftLaterHits(item, delta);
    }

    // Moves the later hits of the same part (a document's header, a
    // footnote, ...; the main text or a file's contents for most) by `delta`.
    void shiftLaterHits(ItemHandle item, std::int64_t delta)
    {
        if (delta == 0) return;
        const std::optional<HitPosition> edited = ParseHitPosition(m_results.ColumnText(item, ResultColumn::Position));
        const std::string part = edited ? edited->part : std::string();
        for (ItemHandle next = m_results.NextSibling(item); next != kNoItem; next = m_results.NextSibling(next)) {
            const ItemKind kind = m_results.Kind(next);
            if (kind != ItemKind::None && kind != ItemKind::File && kind != ItemKind::Replaced && kind != ItemKind::Document)
                continue;
            const std::optional<HitPosition> at = ParseHitPosition(m_results.ColumnText(next, ResultColumn::Position));
            if (!at || at->position < 0 || at->part != part) continue;
            m_results.SetItemColumnText(next, FormatHitPosition(part, at->position + delta), ResultColumn::Position);
        }
    }

    RunContext& m_run;
    ResultList& m_results;
    std::string m_currentPath;
    std::string m_lastInside;  // the file whose remark was reported last
    bool m_currentIsDocument = false;
    std::string m_openFailure;
    std::unique_ptr<MarkedFileEditor> m_editor;
    ChangedFiles m_changed;
    // Hits of the current file replaced in memory, not yet written.
    struct PendingHit {
        ItemHandle item;
        ItemKind previousKind;
        std::int64_t delta;
    };
    std::vector<PendingHit> m_replacedInCurrent;
};

}  // namespace

void ReplaceSelected(RunContext& run)
{
    FolderSyncBatch folderSyncs;
    SelectedReplacer replacer(run);
    replacer.run();
}

}  // namespace tarnwick
