#include "engine/undo/JournalStore.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/SystemError.h"

namespace tarnwick {
namespace {

std::vector<std::string> splitFields(const std::string& line)
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

std::uint64_t number(const std::string& text, int base = 10) { return std::strtoull(text.c_str(), nullptr, base); }

JournalEntry* entryNumbered(JournalInfo& info, std::uint64_t n)
{
    for (auto it = info.entries.rbegin(); it != info.entries.rend(); ++it)
        if (it->number == n) return &*it;
    return nullptr;
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

std::string JournalRoot()
{
    const char* state = std::getenv("XDG_STATE_HOME");
    if (state && *state == '/') return std::string(state) + "/tarnwick/undo";
    const char* home = std::getenv("HOME");
    return std::string(home ? home : "") + "/.local/state/tarnwick/undo";
}

std::string JournalRootOf(const UndoJournalOptions& options) { return options.root.empty() ? JournalRoot() : options.root; }

std::size_t JournalInfo::fileCount() const
{
    return static_cast<std::size_t>(std::count_if(entries.begin(), entries.end(), [](const JournalEntry& e) {
        return e.type == JournalEntry::Type::Contents && e.written && !e.failed;
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

std::error_code ReadJournal(const std::string& folder, JournalInfo& info)
{
    std::ifstream in(folder + "/" + kManifestName, std::ios::binary);
    if (!in) return std::make_error_code(std::errc::no_such_file_or_directory);
    info = JournalInfo{};
    info.folder = folder;
    info.id = std::filesystem::path(folder).filename().string();
    std::string line;
    bool first = true;
    while (std::getline(in, line)) {
        const std::vector<std::string> f = splitFields(line);
        if (first) {
            if (f[0] != "tarnwick-undo") return std::make_error_code(std::errc::invalid_argument);
            // A newer program's journal may keep contents in ways not known here.
            if (f.size() < 2 || number(f[1]) < 1 || number(f[1]) > static_cast<std::uint64_t>(kJournalVersion))
                return std::make_error_code(std::errc::not_supported);
            first = false;
            continue;
        }
        const std::string& tag = f[0];
        if (tag == "kind" && f.size() >= 2) {
            info.kind = f[1] == "selected" ? RunKind::SelectedReplace
                : f[1] == "lowercase"      ? RunKind::Lowercase
                                           : RunKind::Replace;
        } else if (tag == "created" && f.size() >= 2) {
            info.created = static_cast<std::int64_t>(number(f[1]));
        } else if (tag == "file" && f.size() >= 5) {
            JournalEntry entry;
            entry.number = number(f[1]);
            entry.path = f[2];
            entry.other = f[3];
            entry.previousSize = number(f[4]);
            if (f.size() >= 6) {
                entry.previousOffset = number(f[5]);
                entry.previousShared = true;
            }
            info.entries.push_back(std::move(entry));
        } else if (tag == "rename" && f.size() >= 4) {
            JournalEntry entry;
            entry.type = JournalEntry::Type::Rename;
            entry.number = number(f[1]);
            entry.path = f[2];
            entry.other = f[3];
            info.entries.push_back(std::move(entry));
        } else if (f.size() >= 2) {
            // A line cut short by a crash names no entry and is passed over.
            JournalEntry* entry = entryNumbered(info, number(f[1]));
            if (!entry) continue;
            if (tag == "wrote" && f.size() >= 4) {
                entry->written = true;
                entry->writtenSize = number(f[2]);
                entry->writtenHash = number(f[3], 16);
            } else if (tag == "failed") {
                entry->failed = true;
            } else if (tag == "restored") {
                entry->restored = true;
            }
        }
    }
    if (first) return std::make_error_code(std::errc::invalid_argument);
    info.bytes = folderBytes(folder);
    return {};
}

std::error_code JournalLock::acquire(const std::string& root, Mode mode)
{
    release();
    std::error_code error;
    std::filesystem::create_directories(root, error);
    if (error) return error;
    m_fd = ::open((root + "/lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (m_fd < 0) return LastErrnoCode();
    const int operation = mode == Mode::Run ? LOCK_SH : LOCK_EX | LOCK_NB;
    while (::flock(m_fd, operation) != 0) {
        if (errno == EINTR) continue;
        error = LastErrnoCode();
        release();
        return error;
    }
    return {};
}

void JournalLock::release()
{
    if (m_fd < 0) return;
    ::close(m_fd);  // drops the lock
    m_fd = -1;
}

std::vector<JournalInfo> ListJournals(const std::string& root)
{
    std::vector<JournalInfo> journals;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(root, error)) {
        if (!entry.is_directory(error)) continue;
        JournalInfo info;
        if (!ReadJournal(entry.path().string(), info)) journals.push_back(std::move(info));
    }
    // Names are start times, so the newest sorts last.
    std::sort(journals.begin(), journals.end(), [](const JournalInfo& a, const JournalInfo& b) { return a.id > b.id; });
    return journals;
}

bool HasJournals(const std::string& root)
{
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(root, error)) {
        struct stat st {};
        if (::stat((entry.path().string() + "/" + kManifestName).c_str(), &st) == 0) return true;
    }
    return false;
}

void PruneJournals(const std::string& root, std::uint64_t limitBytes, const std::string& keep)
{
    if (limitBytes == 0) return;
    std::vector<JournalInfo> journals = ListJournals(root);
    std::uint64_t total = 0;
    for (const JournalInfo& journal : journals) total += journal.bytes;
    while (total > limitBytes && !journals.empty()) {
        const JournalInfo& oldest = journals.back();
        if (oldest.id != keep) {
            std::error_code error;
            std::filesystem::remove_all(oldest.folder, error);
            total -= oldest.bytes;
        }
        journals.pop_back();
    }
}

}  // namespace tarnwick
