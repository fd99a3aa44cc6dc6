#include "engine/undo/UndoRun.h"

#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>

#include "engine/Messages.h"
#include "engine/undo/ContentHash.h"
#include "platform/FileCommit.h"
#include "platform/FileOps.h"
#include "platform/InputFile.h"
#include "platform/SystemError.h"

namespace tarnwick {
namespace {

bool exists(const std::string& path)
{
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0;
}

class Restorer {
public:
    Restorer(JournalInfo& journal, UndoReport& report) : m_journal(journal), m_report(report) {}

    void run()
    {
        for (auto it = m_journal.entries.rbegin(); it != m_journal.entries.rend(); ++it)
            if (it->type == JournalEntry::Type::Rename && pending(*it)) restoreName(*it);
        for (auto it = m_journal.entries.rbegin(); it != m_journal.entries.rend(); ++it)
            if (it->type == JournalEntry::Type::Contents && pending(*it)) restoreContents(*it);
    }

    bool allDone() const
    {
        for (const JournalEntry& entry : m_journal.entries)
            if (pending(entry) && !entry.restored) return false;
        return true;
    }

private:
    static bool pending(const JournalEntry& entry)
    {
        if (entry.failed || entry.restored) return false;
        return entry.type == JournalEntry::Type::Rename || entry.written;
    }

    void restoreName(JournalEntry& entry)
    {
        // A rename the run recorded but never made (a crash in between).
        if (!exists(entry.other) && exists(entry.path)) return markRestored(entry);
        if (!exists(entry.other)) return leaveAlone(entry.other, "existiert nicht mehr");
        if (exists(entry.path)) return leaveAlone(entry.other, "der frühere Name " + entry.path + " ist inzwischen vergeben");
        if (::renameat2(AT_FDCWD, entry.other.c_str(), AT_FDCWD, entry.path.c_str(), RENAME_NOREPLACE) != 0)
            return leaveAlone(entry.other, SystemErrorText(errno));
        SyncFolderOf(entry.path);
        m_report.restored.push_back(entry.other + " -> " + entry.path);
        markRestored(entry);
    }

    void restoreContents(JournalEntry& entry)
    {
        InputFile current;
        if (const std::error_code error = current.open(entry.path, InputFile::Mode::Replace))
            return leaveAlone(entry.path, SystemErrorText(error));
        std::uint64_t hash = 0;
        std::uint64_t size = 0;
        if (const std::error_code error = HashDescriptor(current.descriptor(), hash, size))
            return leaveAlone(entry.path, SystemErrorText(error));
        if (size != entry.writtenSize || hash != entry.writtenHash) return leaveAlone(entry.path, "seit dem Lauf geändert");
        const std::string previous =
            entry.other.find('/') == std::string::npos ? m_journal.folder + "/" + entry.other : entry.other;
        InputFile source;
        if (const std::error_code error = source.open(previous))
            return leaveAlone(entry.path, "frühere Fassung " + previous + ": " + SystemErrorText(error));
        const std::uint64_t start = entry.previousOffset;
        if (entry.previousShared ? source.size() < start + entry.previousSize : source.size() != entry.previousSize)
            return leaveAlone(entry.path, "frühere Fassung " + previous + " wurde verändert");
        OutputFile temp;
        std::error_code error = temp.createUnique(current.realPath(), ".trwtmp8");
        std::vector<char> block(256 * 1024);
        for (std::uint64_t done = 0; !error && done < entry.previousSize;) {
            std::size_t got = 0;
            const auto want = static_cast<std::size_t>(std::min<std::uint64_t>(block.size(), entry.previousSize - done));
            error = source.readAt(start + done, block.data(), want, got);
            if (!error && got == 0) error = ErrnoCode(EIO);
            if (!error) error = temp.append(block.data(), got);
            done += got;
        }
        const std::error_code closeError = temp.close();
        if (!error) error = closeError;
        // Takes the permission bits of the file it replaces, is synced, renamed in place, the folder synced.
        if (!error) error = InstallTemporaryFile(current, temp.path());
        if (error) {
            if (!temp.path().empty()) ::unlink(temp.path().c_str());
            return leaveAlone(entry.path, SystemErrorText(error));
        }
        m_report.restored.push_back(entry.path);
        markRestored(entry);
    }

    void leaveAlone(const std::string& path, const std::string& reason) { m_report.leftAlone.push_back(path + ": " + reason); }

    void markRestored(JournalEntry& entry)
    {
        entry.restored = true;
        const std::string line = "restored\t" + std::to_string(entry.number) + "\n";
        const int fd = ::open((m_journal.folder + "/" + kManifestName).c_str(), O_WRONLY | O_APPEND | O_CLOEXEC);
        if (fd < 0) return;
        (void)WriteAll(fd, line.data(), line.size());
        ::close(fd);
    }

    JournalInfo& m_journal;
    UndoReport& m_report;
};

}  // namespace

int UndoReport::exitStatus() const
{
    if (!leftAlone.empty() || missing || busy) return 2;
    return restored.empty() ? 1 : 0;
}

std::string UndoReport::summary() const
{
    if (busy) return text::kUndoWhileRunActive;
    if (missing) return "Rückgängig: kein Lauf " + id + " gefunden.";
    if (id.empty()) return "Rückgängig: es gibt keinen Lauf, der rückgängig gemacht werden kann.";
    return "Rückgängig (Lauf " + id + ") abgeschlossen.  " + std::to_string(restored.size()) + " Einträge wiederhergestellt, " +
        std::to_string(leftAlone.size()) + " Einträge unverändert gelassen.";
}

UndoReport UndoRun(const std::string& root, const std::string& id)
{
    UndoReport report;
    // Not while a run changes files: its journal is still being written, and
    // it may be changing the very files this would restore.
    JournalLock lock;
    if (HasJournals(root) && lock.acquire(root, JournalLock::Mode::Undo) == std::errc::resource_unavailable_try_again) {
        report.busy = true;
        return report;
    }
    JournalInfo journal;
    if (id.empty()) {
        std::vector<JournalInfo> journals = ListJournals(root);
        if (journals.empty()) return report;
        journal = std::move(journals.front());
    } else if (id.find('/') != std::string::npos || id == "." || id == ".." || ReadJournal(root + "/" + id, journal)) {
        report.id = id;
        report.missing = true;
        return report;
    }
    report.id = journal.id;
    Restorer restorer(journal, report);
    restorer.run();
    if (restorer.allDone()) {
        std::error_code error;
        std::filesystem::remove_all(journal.folder, error);
    }
    return report;
}

}  // namespace tarnwick
