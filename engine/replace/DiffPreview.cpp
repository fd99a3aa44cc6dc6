#include "engine/replace/DiffPreview.h"

#include "engine/replace/DiffPath.h"
#include "engine/replace/LineDiff.h"
#include "platform/SystemError.h"
#include "results/ExportFile.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace tarnwick {
namespace {

constexpr std::size_t kContextLines = 3;

bool hasPrefixDirectory(const std::string& path, const std::string& directory)
{
    return path.size() > directory.size() && path.compare(0, directory.size(), directory) == 0 && path[directory.size()] == '/';
}

}  // namespace

DiffPreview::DiffPreview(std::string root, const CodePage& codePage) : m_root(std::move(root)), m_codePage(codePage)
{
    if (m_root.empty() || m_root.back() != '/') m_root.push_back('/');
}

std::string DiffPreview::relative(const std::string& path) const
{
    if (path.compare(0, m_root.size(), m_root) == 0) return path.substr(m_root.size());
    // The walk joins "DIR" and a name with one '/'; a root given with
    // several trailing slashes still matches.
    std::string root = m_root;
    while (root.size() > 1 && root.back() == '/') root.pop_back();
    if (path.compare(0, root.size(), root) == 0 && path.size() > root.size() && path[root.size()] == '/') {
        std::size_t start = root.size();
        while (start < path.size() && path[start] == '/') ++start;
        return path.substr(start);
    }
    return path;
}

DiffPreview::Change& DiffPreview::changeOf(const std::string& relativePath)
{
    const auto [it, added] = m_changeOf.emplace(relativePath, m_changes.size());
    if (added) m_changes.push_back({relativePath, relativePath, {}});
    return m_changes[it->second];
}

bool DiffPreview::exists(const std::string& path) const { return m_names.exists(path); }

std::error_code DiffPreview::contents(const std::string& path, std::string_view previous, std::string_view contents,
                                      std::int64_t replacements)
{
    const std::string name = relative(path);
    if (LooksBinary(previous) || LooksBinary(contents)) {
        m_notes +=
            "# Binärdatei " + QuoteDiffPath("", name) + ": " + std::to_string(replacements) + " Ersetzungen, nicht im Diff\n";
        return {};
    }
    // The run writes a link's target; git would patch the link itself.
    struct stat st {};
    if (::lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) {
        m_notes += "# Verknüpfung " + QuoteDiffPath("", name) + ": " + std::to_string(replacements) +
            " Ersetzungen im Ziel, nicht im Diff\n";
        return {};
    }
    AppendUnifiedHunks(previous, contents, kContextLines, changeOf(name).hunks);
    return {};
}

std::error_code DiffPreview::splitContents(const std::string& path, const std::string& newContentsPath, std::int64_t replacements)
{
    std::string previous, next;
    if (std::error_code error = ReadWholeFile(path, previous)) return error;
    if (std::error_code error = ReadWholeFile(newContentsPath, next)) return error;
    return contents(path, previous, next, replacements);
}

void DiffPreview::backup(const std::string& path, const std::string& backupPath)
{
    m_names.take(backupPath);
    m_copies.push_back({relative(path), relative(backupPath), {}});
}

void DiffPreview::document(const std::string& path, std::u16string_view before, std::u16string_view after,
                           std::int64_t replacements)
{
    m_notes +=
        "# Dokument " + QuoteDiffPath("", relative(path)) + ": " + std::to_string(replacements) + " Ersetzungen, nicht im Diff\n";
    const std::string old = DocumentAsLines(before, m_codePage), changed = DocumentAsLines(after, m_codePage);
    const std::vector<std::string_view> a = SplitLines(old), b = SplitLines(changed);
    auto note = [&](const char* mark, std::string_view line) {
        if (!line.empty() && line.back() == '\n') line.remove_suffix(1);
        m_notes += std::string("#   ") + mark + std::string(line) + "\n";
    };
    for (const DiffBlock& block : DiffLines(a, b)) {
        for (std::size_t i = block.beforeBegin; i < block.beforeEnd; ++i) note("- ", a[i]);
        for (std::size_t j = block.afterBegin; j < block.afterEnd; ++j) note("+ ", b[j]);
    }
}

void DiffPreview::addFilesBelow(const std::string& directory, const std::string& from, const std::string& to)
{
    DIR* dir = ::opendir(directory.c_str());
    if (!dir) return;
    std::vector<std::string> names;
    while (const dirent* entry = ::readdir(dir)) {
        if (std::strcmp(entry->d_name, ".") != 0 && std::strcmp(entry->d_name, "..") != 0) names.emplace_back(entry->d_name);
    }
    ::closedir(dir);
    std::sort(names.begin(), names.end());
    for (const std::string& name : names) {
        const std::string path = directory + "/" + name;
        struct stat st {};
        if (::lstat(path.c_str(), &st) != 0) continue;
        if (S_ISDIR(st.st_mode)) {
            addFilesBelow(path, from, to);
            continue;
        }
        // A file the run changed or renamed already moves with its entry.
        const std::string name0 = relative(path);
        if (m_changeOf.count(name0) == 0) changeOf(name0).to = to + name0.substr(from.size());
    }
}

std::error_code DiffPreview::rename(const std::string& directory, const std::string& name, const std::string& newName)
{
    PreviewNames::Move move;
    if (std::error_code error = m_names.rename(directory, name, newName, move)) return error;
    if (move.from.empty()) return {};
    const std::string& fromPath = move.from;
    const std::string from = relative(fromPath), to = relative(move.to);
    struct stat st {};
    if (::lstat(fromPath.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) {
        // A file's backup copy keeps the name it was made under.
        changeOf(from).to = to;
        return {};
    }
    // Git knows no folders: every file below moves.
    for (std::vector<Change>* list : {&m_copies, &m_changes}) {
        for (Change& change : *list) {
            if (hasPrefixDirectory(change.to, from)) change.to = to + change.to.substr(from.size());
        }
    }
    addFilesBelow(fromPath, from, to);
    return {};
}

std::string DiffPreview::text() const
{
    std::string out = m_notes;
    // Copies first: git apply reads their source before it is changed or renamed.
    for (const Change& copy : m_copies) {
        out += "diff --git " + QuoteDiffPath("a/", copy.from) + " " + QuoteDiffPath("b/", copy.to) + "\n";
        out +=
            "similarity index 100%\ncopy from " + QuoteDiffPath("", copy.from) + "\ncopy to " + QuoteDiffPath("", copy.to) + "\n";
    }
    for (const Change& change : m_changes) {
        if (change.from == change.to && change.hunks.empty()) continue;
        out += "diff --git " + QuoteDiffPath("a/", change.from) + " " + QuoteDiffPath("b/", change.to) + "\n";
        if (change.from != change.to)
            out += "rename from " + QuoteDiffPath("", change.from) + "\nrename to " + QuoteDiffPath("", change.to) + "\n";
        if (!change.hunks.empty()) {
            out += "--- " + QuoteDiffPath("a/", change.from) + "\n+++ " + QuoteDiffPath("b/", change.to) + "\n";
            out += change.hunks;
        }
    }
    return out;
}

}  // namespace tarnwick
