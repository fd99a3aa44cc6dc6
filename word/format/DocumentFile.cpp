#include "word/format/DocumentFile.h"

#include "platform/FileCommit.h"
#include "platform/InputFile.h"
#include "platform/SystemError.h"
#include "word/automation/WordErrors.h"

namespace tarnwick::word {
namespace {

constexpr std::uint64_t kMaxFileSize = std::uint64_t(2) << 30;

// The whole file, or the reason it could not be read.
std::string readAll(const InputFile& file, std::string& failure)
{
    std::string bytes(file.size(), '\0');
    const Expected<std::size_t> got = file.readAt(0, bytes.data(), bytes.size());
    if (!got)
        failure = SystemErrorText(got.error().code);
    else if (got.value() != bytes.size())
        failure = "Die Datei wurde beim Lesen kürzer.";
    return bytes;
}

}  // namespace

std::string ReadDocumentFile(const std::string& path, FileIdentity* identity)
{
    InputFile file;
    if (const std::error_code error = file.open(path, InputFile::Mode::Search))
        Refuse(kErrorCannotOpen, "Die Datei kann nicht geöffnet werden: " + SystemErrorText(error));
    if (identity) *identity = file.identity();
    if (file.size() > kMaxFileSize) Refuse(kErrorTooLarge, "Die Datei ist zu groß.");
    std::string failure;
    std::string bytes = readAll(file, failure);
    if (!failure.empty()) Refuse(kErrorCannotOpen, "Die Datei kann nicht gelesen werden: " + failure);
    return bytes;
}

void SaveDocumentFile(const std::string& path, const std::string& onDisk, FileIdentity& identity, std::string_view contents)
{
    // Opening for a replace refuses a read-only file and resolves symbolic
    // links, so the link stays and its target gets the new contents.
    InputFile file;
    if (const std::error_code error = file.open(path, InputFile::Mode::Replace))
        Refuse(kErrorNotWritable, "Das Dokument kann nicht gespeichert werden: " + SystemErrorText(error));
    // Another file put in its place (a link to one elsewhere, say) is never
    // written, even when it holds the same bytes.
    if (identity.isKnown() && file.identity() != identity)
        Refuse(kErrorChangedOnDisk, "Die Datei wurde seit dem Öffnen durch eine andere ersetzt.");
    std::string failure;
    const std::string current = readAll(file, failure);
    if (!failure.empty()) Refuse(kErrorSaveFailed, "Das Dokument kann nicht gespeichert werden: " + failure);
    // Another program's changes since the document was opened would be lost.
    if (current != onDisk) Refuse(kErrorChangedOnDisk, "Die Datei wurde seit dem Öffnen von einem anderen Programm geändert.");
    if (const std::error_code error = CommitContents(file, contents, current))
        Refuse(kErrorSaveFailed, "Das Dokument kann nicht gespeichert werden: " + SystemErrorText(error));
    identity = file.currentIdentity();
}

}  // namespace tarnwick::word
