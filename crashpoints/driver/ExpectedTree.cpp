#include "crashpoints/driver/ExpectedTree.h"

#include <map>

#include "crashpoints/driver/DocxPackage.h"

namespace tarnwick::crashpoints {
namespace {

bool endsWith(const std::string& text, const std::string& tail)
{
    return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

bool isTemporaryName(const std::string& name)
{
    return endsWith(name, ".trwtmp8") || (name.starts_with("tarwerstmpdat") && endsWith(name, ".tmp"));
}

bool isDocumentName(const std::string& name)
{
    return endsWith(name, ".docx") || endsWith(name, ".docm") || endsWith(name, ".odt");
}

}  // namespace

ExpectedTree::ExpectedTree(const Snapshot& before, const Snapshot& after, const Scenario& scenario,
                           std::vector<std::string>& problems)
    : m_backupExtension(scenario.backupExtension)
{
    std::map<std::string, int> indexOf;
    std::map<std::uint64_t, std::vector<int>> byInode;
    for (const auto& [path, state] : before) {
        ExpectedEntry entry;
        entry.oldPath = path;
        entry.oldName = NameOf(path);
        entry.kind = state.kind;
        entry.oldBytes = state.bytes;
        entry.mode = state.mode;
        entry.document = isDocumentName(entry.oldName);
        const auto parent = indexOf.find(ParentOf(path));
        if (parent == indexOf.end()) {
            entry.newName = entry.oldName;
            entry.newPath = path;
        } else {
            entry.parent = parent->second;
            entry.newName = scenario.newName(entry.oldName, state.kind == EntryKind::Folder);
            entry.newPath = m_entries[static_cast<std::size_t>(entry.parent)].newPath + "/" + entry.newName;
        }
        const auto found = after.find(entry.newPath);
        if (found == after.end() || found->second.kind != state.kind) {
            problems.push_back("the run without a crash left no " + entry.newPath + " (from " + path + ")");
        } else {
            entry.newBytes = found->second.bytes;
            if (found->second.mode != state.mode) problems.push_back("the run without a crash changed the mode of " + path);
        }
        if (state.kind == EntryKind::File && state.links > 1) byInode[state.inode].push_back(static_cast<int>(m_entries.size()));
        indexOf[path] = static_cast<int>(m_entries.size());
        m_entries.push_back(std::move(entry));
    }
    for (auto& [inode, group] : byInode) {
        if (group.size() < 2) continue;
        for (const int index : group) m_entries[static_cast<std::size_t>(index)].hardLinked = true;
        m_linkGroups.push_back(group);
    }
    std::map<std::string, bool> claimed;
    for (const ExpectedEntry& entry : m_entries) claimed[entry.newPath] = true;
    for (const auto& [path, state] : after) {
        if (claimed.count(path)) continue;
        const ExtraKind kind = classify(path, state);
        if (kind != ExtraKind::Backup) problems.push_back("the run without a crash left " + path + ", which is no backup copy");
    }
}

ContentMatch ExpectedTree::match(const ExpectedEntry& entry, const std::string& bytes) const
{
    const auto same = [&](const std::string& expected) {
        return entry.document ? SameDocument(bytes, expected) : bytes == expected;
    };
    const bool old = same(entry.oldBytes);
    const bool fresh = same(entry.newBytes);
    if (old && fresh) return ContentMatch::Unchanged;
    if (old) return ContentMatch::Old;
    if (fresh) return ContentMatch::New;
    return ContentMatch::Neither;
}

ExtraKind ExpectedTree::classify(const std::string& path, const EntryState& state) const
{
    const std::string name = NameOf(path);
    if (isTemporaryName(name)) return ExtraKind::Temporary;
    if (state.kind != EntryKind::File || !endsWith(name, m_backupExtension)) return ExtraKind::Unexpected;
    bool partial = false;
    for (const ExpectedEntry& entry : m_entries) {
        if (entry.kind != EntryKind::File || entry.oldBytes == entry.newBytes) continue;
        if (state.bytes == entry.oldBytes) return ExtraKind::Backup;
        if (entry.oldBytes.starts_with(state.bytes)) partial = true;
    }
    return partial ? ExtraKind::PartialBackup : ExtraKind::Unexpected;
}

bool ExpectedTree::changesSomething() const
{
    for (const ExpectedEntry& entry : m_entries)
        if (entry.oldName != entry.newName || (!entry.document && entry.oldBytes != entry.newBytes) ||
            (entry.document && !SameDocument(entry.oldBytes, entry.newBytes)))
            return true;
    return false;
}

std::string DescribeContents(const ExpectedEntry& entry, const std::string& bytes)
{
    if (bytes.empty()) return "empty";
    const std::string size = std::to_string(bytes.size());
    if (entry.newBytes.size() > bytes.size() && entry.newBytes.starts_with(bytes))
        return "the first " + size + " of " + std::to_string(entry.newBytes.size()) + " bytes of its new contents";
    if (entry.oldBytes.size() > bytes.size() && entry.oldBytes.starts_with(bytes))
        return "the first " + size + " of " + std::to_string(entry.oldBytes.size()) + " bytes of its old contents";
    return size + " bytes, old " + std::to_string(entry.oldBytes.size()) + ", new " + std::to_string(entry.newBytes.size());
}

}  // namespace tarnwick::crashpoints
