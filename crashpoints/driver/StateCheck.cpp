#include "crashpoints/driver/StateCheck.h"

#include <cstdio>
#include <optional>

namespace tarnwick::crashpoints {
namespace {

std::string octal(std::uint32_t mode)
{
    char text[16];
    std::snprintf(text, sizeof text, "%04o", mode);
    return text;
}

class Checker {
public:
    Checker(const ExpectedTree& expected, const Snapshot& now, Stage stage) : m_expected(expected), m_now(now), m_stage(stage) {}

    StateCheck run()
    {
        const auto& entries = m_expected.entries();
        m_location.resize(entries.size());
        for (std::size_t index = 0; index < entries.size(); ++index) locate(static_cast<int>(index));
        for (std::size_t index = 0; index < entries.size(); ++index)
            if (m_location[index]) checkContents(static_cast<int>(index));
        checkLinks();
        checkExtras();
        return std::move(m_result);
    }

private:
    bool present(const std::string& path, EntryKind kind) const
    {
        const auto found = m_now.find(path);
        return found != m_now.end() && found->second.kind == kind;
    }

    void add(const std::string& kind, const std::string& detail) { m_result.findings.push_back({true, kind, detail}); }

    void locate(int index)
    {
        const ExpectedEntry& entry = m_expected.entries()[static_cast<std::size_t>(index)];
        std::string base;
        if (entry.parent >= 0) {
            const auto& parent = m_location[static_cast<std::size_t>(entry.parent)];
            if (!parent) return;  // reported with its folder
            base = *parent + "/";
        }
        const std::string oldAt = base + entry.oldName;
        const std::string newAt = base + entry.newName;
        const bool renamed = entry.oldName != entry.newName;
        const bool hasOld = present(oldAt, entry.kind);
        const bool hasNew = renamed && present(newAt, entry.kind);
        if (!hasOld && !hasNew) {
            add("missing under both names",
                renamed ? oldAt + " is missing, and so is its new name " + entry.newName : oldAt + " is missing");
            m_result.changed = true;
            return;
        }
        if (hasOld && hasNew) add("present under both names", oldAt + " and " + newAt + " both exist");
        m_location[static_cast<std::size_t>(index)] = hasOld ? oldAt : newAt;
        m_claimed.insert(oldAt);
        if (hasNew) m_claimed.insert(newAt);
        if (!renamed) return;
        if (hasNew) m_result.changed = true;
        if (m_stage == Stage::Undo && !hasOld)
            add("keeps its new name", newAt + " keeps its new name, expected " + entry.oldName);
        if (m_stage == Stage::Rerun && !hasNew)
            add("keeps its old name", oldAt + " keeps its old name, expected " + entry.newName);
    }

    void checkContents(int index)
    {
        const ExpectedEntry& entry = m_expected.entries()[static_cast<std::size_t>(index)];
        if (entry.kind == EntryKind::Folder) return;
        const std::string& path = *m_location[static_cast<std::size_t>(index)];
        const EntryState& state = m_now.at(path);
        if (entry.kind == EntryKind::File && state.mode != entry.mode)
            add("permission bits changed", path + " has mode " + octal(state.mode) + ", expected " + octal(entry.mode));
        const ContentMatch match = m_expected.match(entry, state.bytes);
        if (match == ContentMatch::New || match == ContentMatch::Neither) m_result.changed = true;
        const bool wanted = match == ContentMatch::Unchanged || (m_stage == Stage::Crash && match != ContentMatch::Neither) ||
            (m_stage == Stage::Undo && match == ContentMatch::Old) || (m_stage == Stage::Rerun && match == ContentMatch::New);
        if (wanted) return;
        m_result.wrongContents.insert(index);
        if (match == ContentMatch::New) return add("keeps the new contents", path + " keeps its new contents, expected the old");
        if (match == ContentMatch::Old) return add("keeps the old contents", path + " keeps its old contents, expected the new");
        const std::string what = DescribeContents(entry, state.bytes);
        if (!entry.hardLinked)
            return add("holds neither old nor new contents", path + " holds neither its old nor its new contents (" + what + ")");
        if (m_stage == Stage::Crash) {
            m_result.tornInPlace[index] = path + " is torn in place (" + what + ")";
            return;
        }
        add("torn hard-linked file not repaired", path + " is still torn (" + what + ")");
    }

    void checkLinks()
    {
        for (const std::vector<int>& group : m_expected.linkGroups()) {
            const auto& first = m_location[static_cast<std::size_t>(group.front())];
            for (const int other : group) {
                const auto& location = m_location[static_cast<std::size_t>(other)];
                if (!first || !location || *first == *location) continue;
                if (m_now.at(*first).inode != m_now.at(*location).inode)
                    add("hard links cut", *first + " and " + *location + " are no longer one file");
            }
        }
    }

    void checkExtras()
    {
        std::string skipped;  // an unexpected folder: what it holds is not listed on its own
        for (const auto& [path, state] : m_now) {
            if (m_claimed.count(path)) continue;
            if (!skipped.empty() && path.starts_with(skipped + "/")) continue;
            const ExtraKind kind = m_expected.classify(path, state);
            const std::string size = std::to_string(state.bytes.size()) + " bytes";
            if (kind == ExtraKind::Backup) continue;
            if (kind == ExtraKind::Temporary && m_stage != Stage::Crash) {
                add("temporary file remains", path + " remains (" + size + ")");
            } else if (kind == ExtraKind::PartialBackup && m_stage != Stage::Crash) {
                add("partial backup copy remains",
                    path + " is a backup copy holding only the start of a file's old contents (" + size + ")");
            } else if (kind == ExtraKind::Unexpected) {
                add("unexpected entry",
                    path + (state.kind == EntryKind::Folder ? " (a folder)" : " (" + size + ")") +
                        " is neither an entry of the tree nor a backup copy");
                if (state.kind == EntryKind::Folder) skipped = path;
            }
        }
    }

    const ExpectedTree& m_expected;
    const Snapshot& m_now;
    Stage m_stage;
    std::vector<std::optional<std::string>> m_location;
    std::set<std::string> m_claimed;
    StateCheck m_result;
};

}  // namespace

const char* StageName(Stage stage)
{
    switch (stage) {
    case Stage::Crash: return "at the crash";
    case Stage::Undo: return "after undo";
    case Stage::Rerun: return "after the rerun";
    }
    return "";
}

StateCheck CheckState(const ExpectedTree& expected, const Snapshot& now, Stage stage)
{
    return Checker(expected, now, stage).run();
}

}  // namespace tarnwick::crashpoints
