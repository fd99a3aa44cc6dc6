#include "word/format/DocumentFile.h"

#include "platform/Exceptions.h"
#include "platform/FileCommit.h"
#include "platform/InputFile.h"
#include "platform/SystemError.h"
#include "word/automation/WordErrors.h"

namespace tarnwick::word {
namespace {

constexpr std::uint64_t kMaxFileSize = std::uint64_t(2) << 30;

// The whole file; throws CFileException when it cannot be read.
std::string readAll(const InputFile& file)
{
    std::string bytes(file.size(), '\0');
    if (file.readAt(0, bytes.data(), bytes.size()) != bytes.size())
        throw CFileException("Die Datei wurde beim Lesen kürzer.");
    return bytes;
}

}  // namespace

std::string ReadDocumentFile(const std::string& path)
{
    InputFile file;
    if (!file.open(path, InputFile::Mode::Search))
        Refuse(kErrorCannotOpen, "Die Datei kann nicht geöffnet werden: " + SystemErrorText(file.lastError()));
    if (file.size() > kMaxFileSize) Refuse(kErrorTooLarge, "Die Datei ist zu groß.");
    try {
        return readAll(file);
    } catch (const FrameworkException& e) {
        Refuse(kErrorCannotOpen, "Die Datei kann nicht gelesen werden: " + e.errorText());
    }
}

void SaveDocumentFile(const std::string& path, const std::string& onDisk, std::string_view contents)
{
    // Opening for a replace refuses a read-only file and resolves symbolic
    // links, so the link stays and its target gets the new contents.
    InputFile file;
    if (!file.open(path, InputFile::Mode::Replace))
        Refuse(kErrorNotWritable, "Das Dokument kann nicht gespeichert werden: " + SystemErrorText(file.lastError()));
    std::string current;
    try {
        current = readAll(file);
    } catch (const FrameworkException& e) {
        Refuse(kErrorSaveFailed, "Das Dokument kann nicht gespeichert werden: " + e.errorText());
    }
    // Another program's changes since the document was opened would be lost.
    if (current != onDisk)
        Refuse(kErrorChangedOnDisk, "Die Datei wurde seit dem Öffnen von einem anderen Programm geändert.");
    if (const int error = CommitContents(file, contents, current))
        Refuse(kErrorSaveFailed, "Das Dokument kann nicht gespeichert werden: " + SystemErrorText(error));
}

}  // namespace tarnwick::word
