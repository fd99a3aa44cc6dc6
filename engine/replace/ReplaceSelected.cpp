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
#include "results/MarkedResults.h"

#include <sys/stat.h>

#include <memory>
#include <optional>
#include <vector>

namespace tarnwick {
namespace {

bool exists(const std::string& path, struct stat& st) { return ::stat(path.c_str(), &st) == 0; }

// Works on the records read from the list; what becomes of each item goes to
// the sink as a MarkedChange, and each record's kind and position follow it,
// as the list's would.
class SelectedReplacer {
public:
    explicit SelectedReplacer(RunContext& run) : m_run(run) {}

    Expected<void> run(std::vector<MarkedEntry>& entries)
    {
        for (MarkedEntry& entry : entries) {
            if (entry.markedItself) {
                if (stopped()) return succeeded();
                ListedHit self;
                self.item = entry.item;
                self.kind = entry.kind;
                processName(entry, self);
                if (m_readFailure) return *m_readFailure;
                continue;
            }
            for (std::size_t index = 0; index < entry.children.size(); ++index) {
                if (!entry.children[index].marked) continue;
                if (stopped()) return succeeded();
                processHit(entry, index);
                if (m_readFailure) return *m_readFailure;
            }
        }
        finishCurrent(nullptr);
        if (m_readFailure) return *m_readFailure;
        return succeeded();
    }

private:
    // The current file could not be read: the command ends here, with
    // nothing more reported. True then.
    bool endedByReadFailure()
    {
        const Failure* failure = m_editor->readFailure();
        if (!failure) return false;
        m_readFailure = *failure;
        m_editor.reset();
        return true;
    }

    bool stopped()
    {
        if (!m_run.stopRequested()) return false;
        // The file being changed keeps its contents from before this run.
        m_editor.reset();
        if (m_currentIsDocument && m_run.documents) m_run.documents->abandonMarked();
        revertCurrentFile(nullptr);
        return true;
    }

    void tell(MarkedChangeKind kind, const ListedHit& hit, std::string_view message = {})
    {
        MarkedChange change;
        change.kind = kind;
        change.item = hit.item;
        change.itemKind = hit.kind;
        change.message = message;
        m_run.sink.markedChange(change);
    }

    void changeKind(MarkedChangeKind kind, ListedHit& hit, ItemKind itemKind)
    {
        hit.kind = itemKind;
        tell(kind, hit);
    }

    void markFailed(ListedHit& hit, std::string_view message)
    {
        hit.kind = ItemKind::Error;
        tell(MarkedChangeKind::Failed, hit, message);
    }

    void fail(ListedHit& hit, const std::string& message, const std::string& path)
    {
        m_run.sink.note({NoteKind::NotReplaced, path, message});
        markFailed(hit, message);
    }

    // A hit inside an archive, PDF or package: found, never replaced; the
    // remark once per file.
    void leaveInside(const ListedHit& hit, const std::string& path)
    {
        tell(MarkedChangeKind::LeftAlone, hit, text::kInsideNotReplaced);
        const std::string outer = path.substr(0, path.find(inside::kInsideSeparator));
        if (outer == m_lastInside) return;
        m_lastInside = outer;
        ReportInsideNotReplaced(m_run, outer);
    }

    // Writes the current file; a failure is reported on `hit`, the item
    // being processed, if any. Returns false then.
    bool finishCurrent(ListedHit* hit)
    {
        std::optional<std::string> failure;
        if (m_currentIsDocument && m_run.documents) {
            Expected<void> finished = m_run.documents->finishMarked();
            if (!finished) failure = std::move(finished).error().detail;
        }
        m_currentIsDocument = false;
        if (m_editor) {
            Expected<void> finished = m_editor->finish();
            if (endedByReadFailure()) return false;
            failure = finished ? std::nullopt : std::optional(std::move(finished).error().detail);
            if (finished) m_changed.note(m_editor->file());
            m_editor.reset();
        }
        if (failure) {
            m_run.sink.note({NoteKind::NotReplaced, m_currentPath, *failure});
            if (hit) markFailed(*hit, *failure);
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
            changeKind(MarkedChangeKind::Reverted, it->file->children[it->index], it->previousKind);
            shiftLaterHits(*it->file, it->index, -it->delta);
        }
        if (failure)
            for (const PendingHit& pending : m_replacedInCurrent) markFailed(pending.file->children[pending.index], *failure);
        m_run.sink.note({NoteKind::NotChanged, m_currentPath, {}});
        m_replacedInCurrent.clear();
    }

    // Before the first item of another path: that path must exist, and the
    // file changed so far is written. False when `hit` goes no further.
    bool reach(ListedHit& hit, const std::string& path)
    {
        if (path == m_currentPath) return true;
        struct stat st {};
        if (path.find(inside::kInsideSeparator) != std::string::npos && !exists(path, st)) {
            leaveInside(hit, path);
            return false;
        }
        if (!exists(path, st)) {
            fail(hit, text::kPathCannotOpen, path);
            return false;
        }
        return finishCurrent(&hit);
    }

    void processHit(MarkedEntry& file, std::size_t index)
    {
        ListedHit& hit = file.children[index];
        if (hit.kind == ItemKind::Info || hit.kind == ItemKind::Error || hit.kind == ItemKind::Replaced ||
            hit.kind == ItemKind::DocumentReplaced || file.kind == ItemKind::Error)
            return;
        if (!reach(hit, file.path)) return;
        if (file.kind == ItemKind::Document)
            replaceMarkedInDocument(file, index);
        else
            replaceMarkedHit(file, index);
    }

    void processName(const MarkedEntry& entry, ListedHit& self)
    {
        if (self.kind != ItemKind::FileNameHit && self.kind != ItemKind::DirNameHit) return;
        const std::string& path = entry.path;
        if (!reach(self, path)) return;
        if (path == m_currentPath && !finishCurrent(nullptr) && m_readFailure) return;
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
            m_run.sink.note({NoteKind::NotReplaced, path, message});
            tell(MarkedChangeKind::RenameFailed, self, message);
            return;
        }
        tell(MarkedChangeKind::Renamed, self);
    }

    bool openFile(MarkedEntry& file, ListedHit& hit)
    {
        const std::string& path = file.path;
        m_currentPath = path;
        auto editor = std::make_unique<MarkedFileEditor>(m_run);
        m_openFailure.clear();
        if (const std::error_code error = editor->open(path)) {
            m_openFailure = std::string(text::kCannotOpenFile) + TruncateText(SystemErrorText(error));
            fail(hit, m_openFailure, path);
            return false;
        }
        // A file marked under two names (a link and its target) is changed once.
        if (const std::string* first = m_changed.changedAs(editor->file().identity())) {
            m_openFailure = std::string(text::kAlreadyChangedAs) + " " + *first;
            fail(hit, m_openFailure, path);
            return false;
        }
        // At most one backup copy per file for the lifetime of these results.
        if (m_run.job.makeBackup && m_run.job.alwaysBackup && !file.backupMade) {
            MakeBackupCopy(m_run, editor->file(), path);
            file.backupMade = true;
            MarkedChange made;
            made.kind = MarkedChangeKind::BackupMade;
            made.item = file.item;
            m_run.sink.markedChange(made);
        }
        m_editor = std::move(editor);
        if (const Expected<void> begun = m_editor->begin(); !begun) {
            if (!endedByReadFailure()) markFailed(hit, begun.error().detail);
            m_editor.reset();
            return false;
        }
        return true;
    }

    void replaceMarkedHit(MarkedEntry& file, std::size_t index)
    {
        ListedHit& hit = file.children[index];
        const std::string& path = file.path;
        if (path != m_currentPath && !openFile(file, hit)) return;
        if (!m_editor) {
            // The file could not be opened: each of its hits says so.
            if (!m_openFailure.empty()) fail(hit, m_openFailure, path);
            return;
        }
        // Matched again exactly over the hit, which gives its groups; a hit
        // that no longer matches there is reported as changed. A file's hits
        // lie in no named part.
        if (!hit.hasPosition || !hit.part.empty() || !m_editor->replaceAt(hit.position, hit.length)) {
            if (!endedByReadFailure()) fail(hit, text::kChangedSinceSearch, path);
            return;
        }
        markReplaced(file, index, ItemKind::Replaced, m_editor->replacementLength() - hit.length);
    }

    void replaceMarkedInDocument(MarkedEntry& file, std::size_t index)
    {
        ListedHit& hit = file.children[index];
        const std::string& path = file.path;
        // Documents are changed through the connection the search started;
        // without it there is nothing to change them with.
        if (!m_run.documents || !m_run.documents->isStarted()) {
            fail(hit, text::kWordCannotStart, path);
            return;
        }
        m_currentPath = path;
        m_currentIsDocument = true;
        // A damaged position (-1) never holds the search text, so the hit is reported as changed.
        const std::int64_t position = hit.hasPosition ? hit.position : -1;
        const bool backup = m_run.job.makeBackup && m_run.job.alwaysBackup;
        const Expected<std::int64_t> delta = m_run.documents->replaceMarked(m_run, path, hit.part, position, hit.length, backup);
        if (!delta) {
            fail(hit, delta.error().detail, path);
            return;
        }
        markReplaced(file, index, ItemKind::DocumentReplaced, delta.value());
    }

    void markReplaced(MarkedEntry& file, std::size_t index, ItemKind kind, std::int64_t delta)
    {
        ListedHit& hit = file.children[index];
        m_replacedInCurrent.push_back({&file, index, hit.kind, delta});
        changeKind(MarkedChangeKind::Replaced, hit, kind);
        shiftLaterHits(file, index, delta);
    }

    // Moves the later hits of the same part (a document's header, a
    // footnote, ...; the main text or a file's contents for most) by `delta`.
    void shiftLaterHits(MarkedEntry& file, std::size_t index, std::int64_t delta)
    {
        if (delta == 0) return;
        const std::string part = file.children[index].part;
        for (std::size_t later = index + 1; later < file.children.size(); ++later) {
            ListedHit& next = file.children[later];
            if (next.kind != ItemKind::None && next.kind != ItemKind::File && next.kind != ItemKind::Replaced &&
                next.kind != ItemKind::Document)
                continue;
            if (!next.hasPosition || next.position < 0 || next.part != part) continue;
            next.position += delta;
            MarkedChange moved;
            moved.kind = MarkedChangeKind::Moved;
            moved.item = next.item;
            moved.part = part;
            moved.position = next.position;
            m_run.sink.markedChange(moved);
        }
    }

    RunContext& m_run;
    std::string m_currentPath;
    std::string m_lastInside;  // the file whose remark was reported last
    bool m_currentIsDocument = false;
    std::string m_openFailure;
    std::unique_ptr<MarkedFileEditor> m_editor;
    std::optional<Failure> m_readFailure;  // ends the command
    ChangedFiles m_changed;
    // Hits of the current file replaced in memory, not yet written.
    struct PendingHit {
        MarkedEntry* file;
        std::size_t index;  // in its children
        ItemKind previousKind;
        std::int64_t delta;
    };
    std::vector<PendingHit> m_replacedInCurrent;
};

}  // namespace

Expected<void> ReplaceSelected(RunContext& run)
{
    FolderSyncBatch folderSyncs;
    // Every marked item is read before the first change, which moves the positions of later hits.
    std::vector<MarkedEntry> entries = readMarkedResults(*run.list);
    SelectedReplacer replacer(run);
    return replacer.run(entries);
}

}  // namespace tarnwick
