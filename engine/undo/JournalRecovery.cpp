#include "engine/undo/JournalRecovery.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "engine/undo/JournalStore.h"
#include "engine/undo/PreviousContents.h"
#include "platform/ContentDigest.h"
#include "platform/InputFile.h"

namespace tarnwick {
namespace {

// Whether the manifest ends with the line a closed journal ends with, read
// without parsing the whole journal: most journals are.
bool endsClosed(const std::string& folder)
{
    const int fd = ::open((folder + "/" + kManifestName).c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0) return true;  // nothing to recover
    struct stat st {};
    char tail[8] = {};
    bool closed = false;
    if (::fstat(fd, &st) == 0 && st.st_size >= 7 && ::pread(fd, tail, 7, st.st_size - 7) == 7)
        closed = std::string(tail, 7) == "closed\n";
    ::close(fd);
    return closed;
}

// A temporary file named for the rename, still holding the new contents.
void removeTemporaryFile(const JournalEntry& entry)
{
    std::string folder, name;
    SplitFolderAndName(entry.path, folder, name);
    const std::string path = folder + "/" + entry.temporaryName;
    InputFile temp;
    if (temp.open(path, InputFile::Mode::Search, InputFile::Links::Refuse)) return;
    const Expected<Digest> digest = DigestWholeDescriptor(temp.descriptor());
    if (!digest || !(digest.value() == entry.intendedContents)) return;
    temp.close();
    (void)::unlink(path.c_str());
}

enum class Repair : std::uint8_t { NotNeeded, Repaired, Failed };

// A file rewritten in place that is neither old nor new was torn.
Repair repairTornFile(const JournalInfo& journal, const JournalEntry& entry)
{
    InputFile current;
    if (current.open(entry.path, InputFile::Mode::Replace, InputFile::Links::Refuse) || current.pin()) return Repair::Failed;
    FileState state = FileState::Other;
    if (ClassifyFile(current, entry, journal.version, state)) return Repair::Failed;
    if (state != FileState::Other) return Repair::NotNeeded;
    std::string reason;
    return RestorePrevious(journal, entry, current, reason) ? Repair::Failed : Repair::Repaired;
}

void recover(const std::string& folder, std::vector<std::string>& repaired)
{
    JournalFolderLock lock;
    if (lock.tryAcquire(folder)) return;  // its run is alive, or another clean-up is at it
    JournalInfo journal;
    if (ReadJournal(folder, journal) || journal.closed || journal.version < 3) return;
    for (const JournalEntry& entry : journal.entries) {
        if (entry.type != JournalEntry::Type::Contents || !entry.refusal.empty() || !entry.intended || entry.written ||
            entry.failed || entry.recovered)
            continue;
        if (!entry.temporaryName.empty()) removeTemporaryFile(entry);
        if (!entry.inPlace) continue;
        const Repair repair = repairTornFile(journal, entry);
        if (repair == Repair::Repaired) repaired.push_back(entry.path);
        if (repair != Repair::Failed) (void)AppendToManifest(folder, "recovered\t" + std::to_string(entry.number) + "\n");
    }
    (void)AppendToManifest(folder, "closed\n");
}

}  // namespace

std::vector<std::string> RecoverInterruptedRuns(const std::string& root)
{
    std::vector<std::string> repaired;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(root, error)) {
        if (!entry.is_directory(error) || entry.is_symlink(error)) continue;
        const std::string folder = entry.path().string();
        if (!endsClosed(folder)) recover(folder, repaired);
    }
    return repaired;
}

}  // namespace tarnwick
