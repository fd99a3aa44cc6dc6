#include "ui/replacepreview/ReplacePreviewCollector.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>

#include "engine/replace/LineDiff.h"
#include "platform/SystemError.h"
#include "results/ExportFile.h"

namespace tarnwick::ui {
namespace {

PreviewLine lineOf(std::size_t index, std::string_view line)
{
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.remove_suffix(1);
    std::size_t kept = std::min(line.size(), ReplacePreviewCollector::kMaxLineBytes);
    // Cut before a whole character, not inside one (at most 3 continuation bytes).
    for (int back = 0; back < 3 && kept < line.size() && (static_cast<unsigned char>(line[kept]) & 0xC0) == 0x80; ++back) --kept;
    PreviewLine out{index + 1, std::string(line.substr(0, kept)), {}};
    if (kept < line.size()) out.text += " …";
    return out;
}

// Marks the differing stretches of each old line and the new line in its place.
void markChangedStretches(PreviewBlock& block, bool paired)
{
    if (!paired) return;
    for (std::size_t i = 0; i < std::min(block.removed.size(), block.added.size()); ++i) {
        ChangedStretches stretches = FindChangedStretches(block.removed[i].text, block.added[i].text);
        block.removed[i].changed = std::move(stretches.before);
        block.added[i].changed = std::move(stretches.after);
    }
}

}  // namespace

std::int64_t ReplacePreviewCollector::totalReplacements() const
{
    std::int64_t total = 0;
    for (const PreviewEntry& entry : m_entries) total += entry.replacements;
    return total;
}

std::size_t ReplacePreviewCollector::changedCount() const
{
    return static_cast<std::size_t>(std::count_if(m_entries.begin(), m_entries.end(),
                                                  [](const PreviewEntry& e) { return e.kind != PreviewEntryKind::Error; }));
}

std::size_t ReplacePreviewCollector::backupCount() const
{
    return static_cast<std::size_t>(
        std::count_if(m_entries.begin(), m_entries.end(), [](const PreviewEntry& e) { return !e.backupPath.empty(); }));
}

PreviewEntry& ReplacePreviewCollector::entryOf(const std::string& path, PreviewEntryKind kind)
{
    const auto [it, added] = m_entryOf.emplace(path, m_entries.size());
    if (added) {
        PreviewEntry entry;
        entry.kind = kind;
        entry.path = path;
        const auto backup = m_pendingBackups.find(path);
        if (backup != m_pendingBackups.end()) {
            entry.backupPath = std::move(backup->second);
            m_pendingBackups.erase(backup);
        }
        m_entries.push_back(std::move(entry));
    } else if (m_entries[it->second].kind == PreviewEntryKind::NameOnly) {
        m_entries[it->second].kind = kind;
    }
    return m_entries[it->second];
}

void ReplacePreviewCollector::addLineChanges(PreviewEntry& entry, std::string_view before, std::string_view after)
{
    const std::vector<std::string_view> a = SplitLines(before), b = SplitLines(after);
    std::size_t kept = 0;
    for (const DiffBlock& block : DiffLines(a, b)) {
        PreviewBlock shown;
        for (std::size_t i = block.beforeBegin; i < block.beforeEnd; ++i) {
            if (kept < kMaxLinesPerEntry) {
                shown.removed.push_back(lineOf(i, a[i]));
                ++kept;
            } else {
                ++entry.hiddenLines;
            }
        }
        for (std::size_t j = block.afterBegin; j < block.afterEnd; ++j) {
            if (kept < kMaxLinesPerEntry) {
                shown.added.push_back(lineOf(j, b[j]));
                ++kept;
            } else {
                ++entry.hiddenLines;
            }
        }
        markChangedStretches(shown, block.beforeEnd - block.beforeBegin == block.afterEnd - block.afterBegin);
        if (!shown.removed.empty() || !shown.added.empty()) entry.blocks.push_back(std::move(shown));
    }
}

std::error_code ReplacePreviewCollector::contents(const std::string& path, std::string_view previous, std::string_view contents,
                                                  std::int64_t replacements)
{
    const bool binary = LooksBinary(previous) || LooksBinary(contents);
    PreviewEntry& entry = entryOf(path, binary ? PreviewEntryKind::Binary : PreviewEntryKind::Text);
    entry.replacements += replacements;
    if (!binary) addLineChanges(entry, previous, contents);
    return {};
}

std::error_code ReplacePreviewCollector::splitContents(const std::string& path, const std::string& newContentsPath,
                                                       std::int64_t replacements)
{
    struct stat before {
    }, after{};
    if (::stat(path.c_str(), &before) != 0 || ::stat(newContentsPath.c_str(), &after) != 0) return LastErrnoCode();
    if (static_cast<std::uint64_t>(std::max(before.st_size, after.st_size)) > kMaxComparedBytes) {
        PreviewEntry& entry = entryOf(path, PreviewEntryKind::Text);
        entry.replacements += replacements;
        entry.tooLargeForLines = true;
        return {};
    }
    std::string previous, next;
    if (std::error_code error = ReadWholeFile(path, previous)) return error;
    if (std::error_code error = ReadWholeFile(newContentsPath, next)) return error;
    return contents(path, previous, next, replacements);
}

// The copy is made before the file's new contents come, so it waits for its entry.
void ReplacePreviewCollector::backup(const std::string& path, const std::string& backupPath)
{
    m_names.take(backupPath);
    const auto it = m_entryOf.find(path);
    if (it != m_entryOf.end())
        m_entries[it->second].backupPath = backupPath;
    else
        m_pendingBackups[path] = backupPath;
}

bool ReplacePreviewCollector::exists(const std::string& path) const { return m_names.exists(path); }

std::error_code ReplacePreviewCollector::rename(const std::string& directory, const std::string& name, const std::string& newName)
{
    PreviewNames::Move move;
    if (std::error_code error = m_names.rename(directory, name, newName, move)) return error;
    if (move.from.empty()) return {};
    entryOf(move.from, PreviewEntryKind::NameOnly).newName = newName;
    return {};
}

void ReplacePreviewCollector::document(const std::string& path, std::u16string_view before, std::u16string_view after,
                                       std::int64_t replacements)
{
    PreviewEntry& entry = entryOf(path, PreviewEntryKind::Document);
    entry.replacements += replacements;
    addLineChanges(entry, DocumentAsLines(before, m_codePage), DocumentAsLines(after, m_codePage));
}

void ReplacePreviewCollector::addError(std::string text)
{
    PreviewEntry entry;
    entry.kind = PreviewEntryKind::Error;
    entry.path = std::move(text);
    m_entries.push_back(std::move(entry));
}

SinkReply ReplacePreviewCollector::onBeginEntry(const EntryStart& entry)
{
    m_currentEntry.assign(entry.path);
    m_currentError = SIZE_MAX;
    return SinkReply::Continue;
}

SinkReply ReplacePreviewCollector::onError(const RunError& error)
{
    const auto named = [](std::string_view path, std::string_view message) {
        std::string text(path);
        if (!text.empty()) text.append(": ");
        return text.append(message);
    };
    switch (error.place) {
    case ErrorPlace::Entry:
    case ErrorPlace::Occurrence: addError(named(error.path, error.message)); break;
    case ErrorPlace::Message: addError(std::string(error.message)); break;
    case ErrorPlace::CurrentEntry:
        // A second error about the same file replaces the first.
        if (m_currentError < m_entries.size()) {
            m_entries[m_currentError].path = named(m_currentEntry, error.message);
            break;
        }
        m_currentError = m_entries.size();
        addError(named(m_currentEntry, error.message));
        break;
    }
    return SinkReply::Continue;
}

}  // namespace tarnwick::ui
