#include "engine/undo/PreviousContents.h"

#include <sys/stat.h>

#include <algorithm>
#include <vector>

#include "engine/undo/ContentHash.h"
#include "platform/FileCommit.h"
#include "platform/InputFile.h"
#include "platform/SystemError.h"

namespace tarnwick {
namespace {

std::string previousLocation(const JournalInfo& journal, const JournalEntry& entry)
{
    return entry.other.find('/') == std::string::npos ? journal.folder + "/" + entry.other : entry.other;
}

}  // namespace

std::error_code ClassifyFile(const InputFile& current, const JournalEntry& entry, int version, FileState& state)
{
    state = FileState::Other;
    if (version < 3) {
        std::uint64_t hash = 0, size = 0;
        if (const std::error_code error = HashDescriptor(current.descriptor(), hash, size)) return error;
        if (size == entry.legacyWrittenSize && hash == entry.legacyWrittenHash) state = FileState::Changed;
        return {};
    }
    const Expected<Digest> contents = DigestWholeDescriptor(current.descriptor());
    if (!contents) return contents.error().code;
    const Digest& digest = contents.value();
    if (entry.intended && digest == entry.intendedContents)
        state = FileState::Changed;
    else if (digest == entry.previous)
        state = FileState::Previous;
    return {};
}

std::error_code RestorePrevious(const JournalInfo& journal, const JournalEntry& entry, InputFile& current, std::string& reason)
{
    const std::string location = previousLocation(journal, entry);
    const bool insideJournal = entry.other.find('/') == std::string::npos;
    // Without a digest only the journal's own copies can be trusted: nobody
    // but the user writes there.
    if (!entry.hasPreviousDigest && !insideJournal) {
        reason = "die Sicherungskopie " + location + " kann ohne Prüfsumme (Journal einer älteren Fassung) nicht geprüft werden";
        return std::make_error_code(std::errc::operation_not_permitted);
    }
    InputFile source;
    if (const std::error_code error = source.open(location, InputFile::Mode::Search, InputFile::Links::Refuse)) {
        reason = "frühere Fassung " + location + ": " + SystemErrorText(error);
        return error;
    }
    const std::uint64_t start = entry.previousOffset, size = entry.previousSize();
    if (entry.previousShared ? source.size() < start + size : source.size() != size) {
        reason = "die frühere Fassung " + location + " wurde verändert";
        return std::make_error_code(std::errc::invalid_argument);
    }
    OutputFile temp;
    std::error_code error = temp.createTemporary(current.folderDescriptor(), current.folderPath(), current.leafName());
    std::vector<char> block(256 * 1024);
    ContentDigest copied;
    for (std::uint64_t done = 0; !error && done < size;) {
        const auto want = static_cast<std::size_t>(std::min<std::uint64_t>(block.size(), size - done));
        const Expected<std::size_t> read = source.readAt(start + done, block.data(), want);
        const std::size_t got = read ? read.value() : 0;
        if (!read) error = read.error().code;
        if (!error && got == 0) error = ErrnoCode(EIO);
        if (!error) error = temp.append(block.data(), got);
        copied.add(block.data(), got);
        done += got;
    }
    if (error) {
        reason = SystemErrorText(error);
        return error;
    }
    if (entry.hasPreviousDigest && !(copied.finish() == entry.previous)) {
        reason = "die frühere Fassung " + location + " wurde verändert";
        return std::make_error_code(std::errc::invalid_argument);
    }
    if (const std::error_code commitError = InstallTemporaryFile(current, temp)) {
        reason = SystemErrorText(commitError);
        return commitError;
    }
    return {};
}

}  // namespace tarnwick
