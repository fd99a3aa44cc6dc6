#include "engine/undo/UndoRun.h"

#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>

#include "engine/Messages.h"
#include "engine/undo/JournalRecovery.h"
#include "engine/undo/PreviousContents.h"
#include "platform/FolderSync.h"
#include "platform/InputFile.h"
#include "platform/SystemError.h"

namespace tarnwick {
namespace {

bool exists(const std::string& path, struct stat* status = nullptr)
{
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0) return false;
    if (status) *status = st;
    return true;
}

// Why a file could not be opened, in German.
std::string openFailure(std::error_code error)
{
    switch (error.value()) {
    case ENOENT: return "existiert nicht mehr";
    case EACCES:
    case EPERM: return "keine Berechtigung (" + SystemErrorText(error) + ")";
    case EWOULDBLOCK: return "ist von einem anderen Programm gesperrt";
    default: break;
    }
    if (error == NameChangedError()) return SystemErrorText(error);
    return "kann nicht geöffnet werden: " + SystemErrorText(error);
}

class Restorer {
public:
    Restorer(JournalInfo& journal, UndoReport& report, const std::atomic<bool>* stop)
        : m_journal(journal), m_report(report), m_stop(stop)
    {
    }

    void run()
    {
        for (int pass = 0; pass < 2; ++pass) {
            const auto type = pass == 0 ? JournalEntry::Type::Rename : JournalEntry::Type::Contents;
            for (auto it = m_journal.entries.rbegin(); it != m_journal.entries.rend(); ++it) {
                if (it->type != type || !pending(*it)) continue;
                if (m_stop && m_stop->load()) {
                    m_report.stopped = true;
                    return;
                }
                if (!it->refusal.empty())
                    leaveAlone(it->path.empty() ? "Eintrag " + std::to_string(it->number) : it->path, it->refusal);
                else if (type == JournalEntry::Type::Rename)
                    restoreName(*it);
                else
                    restoreContents(*it);
            }
        }
    }

    bool allSettled() const
    {
        if (m_report.stopped) return false;
        for (const JournalEntry& entry : m_journal.entries)
            if (pending(entry)) return false;
        return true;
    }

private:
    bool pending(const JournalEntry& entry) const
    {
        if (entry.failed || entry.restored) return false;
        // An entry the journal does not describe soundly is reported every time.
        if (!entry.refusal.empty()) return true;
        if (entry.type == JournalEntry::Type::Rename) return true;
        // A change never intended (or, in older journals, never written) did
        // not reach the file.
        return m_journal.version >= 3 ? entry.intended : entry.written;
    }

    void restoreName(JournalEntry& entry)
    {
        struct stat present {};
        const bool renamed = exists(entry.other, &present);
        // A rename the run recorded but never made (a crash in between).
        if (!renamed && exists(entry.path)) return markRestored(entry);
        if (!renamed) return leaveAlone(entry.other, "existiert nicht mehr");
        // A folder keeps its object; a file gets a new one whenever it is
        // saved (by this program's commit or an editor's), so only a folder
        // can be told apart from one put there since.
        if (entry.renamed.isKnown() && S_ISDIR(present.st_mode) && FileIdentity::of(present) != entry.renamed)
            return leaveAlone(entry.other, "ist nicht mehr der Ordner, den der Lauf umbenannt hat");
        if (exists(entry.path)) return leaveAlone(entry.other, "der frühere Name " + entry.path + " ist inzwischen vergeben");
        if (::renameat2(AT_FDCWD, entry.other.c_str(), AT_FDCWD, entry.path.c_str(), RENAME_NOREPLACE) != 0)
            return leaveAlone(entry.other, "kann nicht umbenannt werden: " + SystemErrorText(errno));
        SyncFolderOf(entry.path);
        m_report.restored.push_back(entry.other + " -> " + entry.path);
        markRestored(entry);
    }

    void restoreContents(JournalEntry& entry)
    {
        InputFile current;
        std::error_code error = current.open(entry.path, InputFile::Mode::Replace, InputFile::Links::Refuse);
        if (!error) error = current.pin();
        if (error) return leaveAlone(entry.path, openFailure(error));
        FileState state = FileState::Other;
        if (const std::error_code readError = ClassifyFile(current, entry, m_journal.version, state))
            return leaveAlone(entry.path, "kann nicht gelesen werden: " + SystemErrorText(readError));
        if (state == FileState::Previous) {
            ++m_report.alreadyPrevious;
            return markRestored(entry);
        }
        if (state == FileState::Other) return leaveAlone(entry.path, "wurde seit dem Lauf geändert");
        std::string reason;
        if (RestorePrevious(m_journal, entry, current, reason)) return leaveAlone(entry.path, reason);
        m_report.restored.push_back(entry.path);
        markRestored(entry);
    }

    void leaveAlone(const std::string& path, const std::string& reason) { m_report.leftAlone.push_back(path + ": " + reason); }

    void markRestored(JournalEntry& entry)
    {
        entry.restored = true;
        (void)AppendToManifest(m_journal.folder, "restored\t" + std::to_string(entry.number) + "\n");
    }

    JournalInfo& m_journal;
    UndoReport& m_report;
    const std::atomic<bool>* m_stop;
};

}  // namespace

int UndoReport::exitStatus() const
{
    if (stopped) return 130;
    if (!leftAlone.empty() || missing || busy || !lockFailure.empty()) return 2;
    return restored.empty() ? 1 : 0;
}

std::string UndoReport::summary() const
{
    if (busy) return text::kUndoWhileRunActive;
    if (!lockFailure.empty()) return "Rückgängig nicht möglich: das Journal kann nicht gesperrt werden: " + lockFailure;
    if (missing) return "Rückgängig: kein Lauf " + id + " gefunden.";
    if (id.empty()) return "Rückgängig: es gibt keinen Lauf, der rückgängig gemacht werden kann.";
    std::string text = "Rückgängig (Lauf " + id + (stopped ? ") abgebrochen.  " : ") abgeschlossen.  ") +
        std::to_string(restored.size()) + " Einträge wiederhergestellt, " + std::to_string(leftAlone.size()) +
        " Einträge unverändert gelassen.";
    if (alreadyPrevious > 0)
        text += "  " + std::to_string(alreadyPrevious) + " Dateien hatten ihren früheren Inhalt schon wieder.";
    if (stopped) text += "  Ein weiteres Rückgängig setzt fort.";
    return text;
}

UndoReport UndoRun(const std::string& root, const std::string& id, const std::atomic<bool>* stop)
{
    UndoReport report;
    if (!HasJournals(root)) {
        report.id = id;
        report.missing = !id.empty();
        return report;
    }
    // Not while a run changes files: its journal is still being written, and
    // it may be changing the very files this would restore.
    JournalLock lock;
    if (const std::error_code error = lock.acquire(root, JournalLock::Mode::Undo)) {
        if (error == std::errc::resource_unavailable_try_again)
            report.busy = true;
        else
            report.lockFailure = SystemErrorText(error);
        return report;
    }
    // A file a crashed run left torn is back to its previous contents now:
    // restored, as far as the user is concerned.
    for (const std::string& path : RecoverInterruptedRuns(root))
        report.restored.push_back(path + " (nach einem abgebrochenen Lauf)");
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
    JournalFolderLock journalLock;
    if (const std::error_code error = journalLock.tryAcquire(journal.folder)) {
        report.busy = true;
        return report;
    }
    Restorer restorer(journal, report, stop);
    restorer.run();
    if (restorer.allSettled()) {
        journalLock.release();
        std::error_code error;
        std::filesystem::remove_all(journal.folder, error);
    }
    return report;
}

}  // namespace tarnwick
