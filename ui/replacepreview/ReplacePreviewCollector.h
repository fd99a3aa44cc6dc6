#pragma once
// What a replace would change, gathered for the desktop program's preview
// dialog: one entry per file (or folder) with its occurrence count, its new
// name and, for text files and documents, the changed lines or paragraphs
// old and new. The run's events go here too (it is also the run's sink), so
// that the result list keeps the last real run; of them only the errors are
// kept, as entries of their own that name the file and the cause.
//
// Filled on the worker thread, read on the user interface thread once the
// run's completion message has come.
#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "engine/job/RunSink.h"
#include "engine/replace/ChangePreview.h"
#include "engine/replace/PreviewNames.h"
#include "ui/replacepreview/ChangedStretches.h"

namespace tarnwick {
class CodePage;
}

namespace tarnwick::ui {

struct PreviewLine {
    std::size_t number = 0;  // 1-based, in the old or the new text
    std::string text;  // without its line end; long lines cut short
    // Where it differs from its counterpart in the same block, when the
    // block replaced as many lines as it added (each old line is paired
    // with the new one in its place).
    std::vector<ByteRange> changed;
};

// Lines of the old text replaced by lines of the new one.
struct PreviewBlock {
    std::vector<PreviewLine> removed;
    std::vector<PreviewLine> added;
};

enum class PreviewEntryKind {
    Text,  // changed lines shown
    Document,  // changed paragraphs shown
    Binary,  // only the count
    NameOnly,  // renamed, contents unchanged
    Error,  // what the run reported; `path` holds the text
};

struct PreviewEntry {
    PreviewEntryKind kind = PreviewEntryKind::Text;
    std::string path;  // as named before the run
    std::string newName;  // the name it gets; empty: it keeps its name
    std::int64_t replacements = 0;
    std::vector<PreviewBlock> blocks;
    std::string backupPath;  // the backup copy the run would make; empty: none
    std::size_t hiddenLines = 0;  // changed lines beyond what an entry keeps
    bool tooLargeForLines = false;  // a split file too large to compare line by line
};

class ReplacePreviewCollector final : public ChangePreview, public RunSink {
public:
    // Changed lines kept per entry and bytes kept per line: a huge change
    // list must neither fill the memory nor the dialog.
    static constexpr std::size_t kMaxLinesPerEntry = 400;
    static constexpr std::size_t kMaxLineBytes = 1000;
    // A split file beyond this size shows its count only: comparing it
    // would hold both its old and its new contents in memory.
    static constexpr std::uint64_t kMaxComparedBytes = 64u << 20;

    explicit ReplacePreviewCollector(const CodePage& codePage) : m_codePage(codePage) {}

    const std::vector<PreviewEntry>& entries() const { return m_entries; }
    std::int64_t totalReplacements() const;
    // Entries that are not errors.
    std::size_t changedCount() const;
    // Backup copies the run would make.
    std::size_t backupCount() const;

    // ChangePreview
    std::error_code contents(const std::string& path, std::string_view previous, std::string_view contents,
                             std::int64_t replacements) override;
    std::error_code splitContents(const std::string& path, const std::string& newContentsPath,
                                  std::int64_t replacements) override;
    void backup(const std::string& path, const std::string& backupPath) override;
    std::error_code rename(const std::string& directory, const std::string& name, const std::string& newName) override;
    bool exists(const std::string& path) const override;
    void document(const std::string& path, std::u16string_view before, std::u16string_view after,
                  std::int64_t replacements) override;

    // RunSink: everything but the errors goes nowhere.
    bool wantsHits() const override { return false; }

protected:
    SinkReply onBeginEntry(const EntryStart& entry) override;
    SinkReply onHit(const HitEvent&) override { return SinkReply::Continue; }
    SinkReply onNameHit(const NameHitEvent&) override { return SinkReply::Continue; }
    SinkReply onError(const RunError& error) override;
    SinkReply onNote(const RunNote&) override { return SinkReply::Continue; }
    SinkReply onCommitted(const Commit&) override { return SinkReply::Continue; }
    SinkReply onEndEntry(const EntryEnd&) override { return SinkReply::Continue; }

private:
    PreviewEntry& entryOf(const std::string& path, PreviewEntryKind kind);
    void addLineChanges(PreviewEntry& entry, std::string_view before, std::string_view after);
    void addError(std::string text);

    const CodePage& m_codePage;
    std::vector<PreviewEntry> m_entries;
    std::map<std::string, std::size_t> m_entryOf;  // path -> index in m_entries
    PreviewNames m_names;
    // Backups announced before their file's contents: path -> backup path.
    std::map<std::string, std::string> m_pendingBackups;
    // The entry begun last, to name the file an error turns it into; and
    // whether that error has its preview entry already.
    std::string m_currentEntry;
    std::size_t m_currentError = SIZE_MAX;  // index in m_entries
};

}  // namespace tarnwick::ui
