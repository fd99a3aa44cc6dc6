#include "engine/undo/JournalManifest.h"

#include <sys/stat.h>

#include <algorithm>
#include <charconv>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace tarnwick {
namespace {

constexpr const char* kRefusedPath =
    "Das Journal nennt hier keinen absoluten, eindeutigen Pfad; der Eintrag wird nicht ausgeführt.";
constexpr const char* kRefusedOutside =
    "Der Pfad liegt außerhalb der Ordner, in denen der Lauf etwas geändert hat; der Eintrag wird nicht ausgeführt.";
constexpr const char* kRefusedDamaged = "Der Eintrag des Journals ist beschädigt und wird nicht ausgeführt.";
constexpr const char* kRefusedPrevious =
    "Das Journal nennt für die frühere Fassung keinen gültigen Ort; der Eintrag wird nicht ausgeführt.";

std::vector<std::string> splitFields(std::string_view line)
{
    std::vector<std::string> fields(1);
    for (std::size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (c == '\t') {
            fields.emplace_back();
        } else if (c == '\\' && i + 1 < line.size()) {
            const char next = line[++i];
            fields.back() += next == 't' ? '\t' : next == 'n' ? '\n' : next;
        } else {
            fields.back() += c;
        }
    }
    return fields;
}

// A decimal number of digits only, without overflow.
bool parseNumber(const std::string& text, std::uint64_t& value, int base = 10)
{
    if (text.empty()) return false;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, base);
    return error == std::errc() && end == text.data() + text.size();
}

JournalEntry* entryNumbered(JournalInfo& info, std::uint64_t n)
{
    if (n == 0) return nullptr;
    for (auto it = info.entries.rbegin(); it != info.entries.rend(); ++it)
        if (it->number == n && it->refusal.empty()) return &*it;
    return nullptr;
}

bool insideARoot(const JournalInfo& info, std::string_view path)
{
    return std::any_of(info.roots.begin(), info.roots.end(), [&](const std::string& root) { return IsInside(path, root); });
}

// Where the previous contents are kept, checked.
bool acceptablePrevious(const JournalInfo& info, const std::string& previous)
{
    if (previous.empty() || previous == "." || previous == "..") return false;
    if (previous.find('/') == std::string::npos) return true;  // in the journal's folder
    if (!IsPlainAbsolutePath(previous)) return false;
    return info.version < 3 || insideARoot(info, previous);
}

void readFileLine(JournalInfo& info, const std::vector<std::string>& f)
{
    JournalEntry entry;
    const bool modern = info.version >= 3;
    std::uint64_t size = 0;
    if (!parseNumber(f[1], entry.number) || entry.number == 0 || (modern ? f.size() != 7 : f.size() < 5 || f.size() > 6) ||
        !parseNumber(f[4], size)) {
        entry.refusal = kRefusedDamaged;
    }
    entry.path = f.size() > 2 ? f[2] : std::string();
    entry.other = f.size() > 3 ? f[3] : std::string();
    entry.previous.size = size;
    if (entry.refusal.empty() && f.size() >= 6) {
        entry.previousShared = entry.other == kDataName;
        if (!parseNumber(f[5], entry.previousOffset)) entry.refusal = kRefusedDamaged;
        // Before version 3 an offset meant the data file, whatever its name.
        if (!modern) entry.previousShared = true;
    }
    if (entry.refusal.empty() && modern) {
        entry.hasPreviousDigest = Digest::fromHex(f[6], size, entry.previous);
        if (!entry.hasPreviousDigest) entry.refusal = kRefusedDamaged;
    }
    if (entry.refusal.empty() && !IsPlainAbsolutePath(entry.path)) entry.refusal = kRefusedPath;
    if (entry.refusal.empty() && modern && !insideARoot(info, entry.path)) entry.refusal = kRefusedOutside;
    if (entry.refusal.empty() && !acceptablePrevious(info, entry.other)) entry.refusal = kRefusedPrevious;
    info.entries.push_back(std::move(entry));
}

void readRenameLine(JournalInfo& info, const std::vector<std::string>& f)
{
    JournalEntry entry;
    entry.type = JournalEntry::Type::Rename;
    const bool modern = info.version >= 3;
    std::uint64_t device = 0, inode = 0;
    if (!parseNumber(f[1], entry.number) || entry.number == 0 || f.size() != (modern ? 6u : 4u) ||
        (modern && (!parseNumber(f[4], device) || !parseNumber(f[5], inode)))) {
        entry.refusal = kRefusedDamaged;
    }
    entry.path = f.size() > 2 ? f[2] : std::string();
    entry.other = f.size() > 3 ? f[3] : std::string();
    entry.renamed = {static_cast<dev_t>(device), static_cast<ino_t>(inode)};
    if (entry.refusal.empty() && (!IsPlainAbsolutePath(entry.path) || !IsPlainAbsolutePath(entry.other)))
        entry.refusal = kRefusedPath;
    if (entry.refusal.empty() && modern && (!insideARoot(info, entry.path) || !insideARoot(info, entry.other)))
        entry.refusal = kRefusedOutside;
    info.entries.push_back(std::move(entry));
}

void readIntendLine(JournalInfo& info, const std::vector<std::string>& f)
{
    std::uint64_t n = 0, size = 0;
    if (f.size() != 6 || !parseNumber(f[1], n) || !parseNumber(f[2], size)) return;
    JournalEntry* entry = entryNumbered(info, n);
    if (!entry || entry->type != JournalEntry::Type::Contents) return;
    Digest digest;
    const std::string& name = f[4];
    const bool nameUsable = name == "-" || (!name.empty() && name != "." && name != ".." && name.find('/') == std::string::npos);
    if (!Digest::fromHex(f[3], size, digest) || !nameUsable || (f[5] != "rename" && f[5] != "inplace")) {
        entry->refusal = kRefusedDamaged;
        return;
    }
    entry->intended = true;
    entry->intendedContents = digest;
    entry->temporaryName = name == "-" ? std::string() : name;
    entry->inPlace = f[5] == "inplace";
}

void readOutcomeLine(JournalInfo& info, const std::vector<std::string>& f)
{
    std::uint64_t n = 0;
    if (f.size() < 2 || !parseNumber(f[1], n)) return;
    JournalEntry* entry = entryNumbered(info, n);
    if (!entry) return;
    const std::string& tag = f[0];
    if (tag == "wrote") {
        entry->written = true;
        if (info.version < 3 && f.size() >= 4) {
            if (!parseNumber(f[2], entry->legacyWrittenSize) || !parseNumber(f[3], entry->legacyWrittenHash, 16))
                entry->refusal = kRefusedDamaged;
        }
    } else if (tag == "failed") {
        entry->failed = true;
    } else if (tag == "restored") {
        entry->restored = true;
    } else if (tag == "recovered") {
        entry->recovered = true;
    }
}

std::uint64_t folderBytes(const std::string& folder)
{
    std::uint64_t total = 0;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
        struct stat st {};
        if (::lstat(entry.path().c_str(), &st) == 0) total += static_cast<std::uint64_t>(st.st_size);
    }
    return total;
}

}  // namespace

const char* RunKindName(RunKind kind)
{
    switch (kind) {
    case RunKind::SelectedReplace: return "selected";
    case RunKind::Lowercase: return "lowercase";
    case RunKind::Replace: break;
    }
    return "replace";
}

const char* RunKindText(RunKind kind)
{
    switch (kind) {
    case RunKind::SelectedReplace: return "Ersetzen in markierten Ergebnissen";
    case RunKind::Lowercase: return "Umwandlung in Kleinbuchstaben";
    case RunKind::Replace: break;
    }
    return "Ersetzen";
}

std::size_t JournalInfo::fileCount() const
{
    return static_cast<std::size_t>(std::count_if(entries.begin(), entries.end(), [](const JournalEntry& e) {
        return e.type == JournalEntry::Type::Contents && (e.written || e.intended) && !e.failed;
    }));
}

std::size_t JournalInfo::renameCount() const
{
    return static_cast<std::size_t>(std::count_if(
        entries.begin(), entries.end(), [](const JournalEntry& e) { return e.type == JournalEntry::Type::Rename && !e.failed; }));
}

bool JournalInfo::partlyRestored() const
{
    return std::any_of(entries.begin(), entries.end(), [](const JournalEntry& e) { return e.restored; });
}

void AppendField(std::string& line, std::string_view field)
{
    for (const char c : field) {
        if (c == '\t') {
            line += "\\t";
        } else if (c == '\n') {
            line += "\\n";
        } else {
            if (c == '\\') line += '\\';
            line += c;
        }
    }
}

bool IsPlainAbsolutePath(std::string_view path)
{
    if (path.empty() || path.front() != '/') return false;
    if (path == "/") return true;
    if (path.back() == '/') return false;
    std::size_t start = 1;
    while (start <= path.size()) {
        const std::size_t slash = std::min(path.find('/', start), path.size());
        const std::string_view component = path.substr(start, slash - start);
        if (component.empty() || component == "." || component == "..") return false;
        if (component.find('\0') != std::string_view::npos) return false;
        start = slash + 1;
    }
    return true;
}

bool IsInside(std::string_view path, std::string_view root)
{
    if (root == "/") return path.size() > 1 && path.front() == '/';
    return path.size() > root.size() && path.substr(0, root.size()) == root && path[root.size()] == '/';
}

std::error_code ParseJournalManifest(std::string_view text, JournalInfo& info)
{
    const std::string id = info.id, folder = info.folder;
    info = JournalInfo{};
    info.id = id;
    info.folder = folder;
    bool first = true;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = text.find('\n', start);
        // A last line without its line feed was cut short by a crash.
        if (end == std::string_view::npos) break;
        const std::vector<std::string> f = splitFields(text.substr(start, end - start));
        start = end + 1;
        if (first) {
            std::uint64_t version = 0;
            if (f[0] != "tarnwick-undo") return std::make_error_code(std::errc::invalid_argument);
            // A newer program's journal may keep contents in ways not known here.
            if (f.size() < 2 || !parseNumber(f[1], version) || version < 1 ||
                version > static_cast<std::uint64_t>(kJournalVersion))
                return std::make_error_code(std::errc::not_supported);
            info.version = static_cast<int>(version);
            first = false;
            continue;
        }
        const std::string& tag = f[0];
        if (tag == "kind" && f.size() >= 2) {
            info.kind = f[1] == "selected" ? RunKind::SelectedReplace
                : f[1] == "lowercase"      ? RunKind::Lowercase
                                           : RunKind::Replace;
        } else if (tag == "created" && f.size() >= 2) {
            std::uint64_t seconds = 0;
            if (parseNumber(f[1], seconds)) info.created = static_cast<std::int64_t>(seconds);
        } else if (tag == "root" && f.size() == 2) {
            if (IsPlainAbsolutePath(f[1])) info.roots.push_back(f[1]);
        } else if (tag == "closed") {
            info.closed = true;
        } else if (tag == "file" && f.size() >= 2) {
            readFileLine(info, f);
        } else if (tag == "rename" && f.size() >= 2) {
            readRenameLine(info, f);
        } else if (tag == "intend") {
            readIntendLine(info, f);
        } else {
            readOutcomeLine(info, f);
        }
    }
    if (first) return std::make_error_code(std::errc::invalid_argument);
    return {};
}

std::error_code ReadJournal(const std::string& folder, JournalInfo& info)
{
    std::ifstream in(folder + "/" + kManifestName, std::ios::binary);
    if (!in) return std::make_error_code(std::errc::no_such_file_or_directory);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    info.folder = folder;
    info.id = std::filesystem::path(folder).filename().string();
    if (const std::error_code error = ParseJournalManifest(text, info)) return error;
    info.bytes = folderBytes(folder);
    return {};
}

}  // namespace tarnwick
