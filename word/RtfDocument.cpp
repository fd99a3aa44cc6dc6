#include "word/RtfDocument.h"

#include <cerrno>

#include "platform/Exceptions.h"
#include "platform/FileCommit.h"
#include "platform/InputFile.h"
#include "platform/SystemError.h"
#include "word/RtfEditor.h"
#include "word/WordErrors.h"

namespace tarnwick::word {
namespace {

constexpr std::uint64_t kMaxFileSize = std::uint64_t(1) << 31;

// The whole file; throws CFileException when it cannot be read.
std::string readAll(const InputFile& file)
{
    std::string bytes(file.size(), '\0');
    if (file.readAt(0, bytes.data(), bytes.size()) != bytes.size())
        throw CFileException("Die Datei wurde beim Lesen kürzer.");
    return bytes;
}

std::string readDocument(const std::string& path)
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

}  // namespace

RtfDocument::RtfDocument(std::string path, std::string bytes)
    : m_path(std::move(path)), m_bytes(std::move(bytes)), m_saved(m_bytes), m_story(ReadRtf(m_bytes))
{
}

std::unique_ptr<RtfDocument> RtfDocument::open(const std::string& path)
{
    return std::unique_ptr<RtfDocument>(new RtfDocument(path, readDocument(path)));
}

std::unique_ptr<RtfDocument> RtfDocument::fromBytes(std::string bytes)
{
    return std::unique_ptr<RtfDocument>(new RtfDocument({}, std::move(bytes)));
}

void RtfDocument::replace(std::int64_t start, std::int64_t end, const std::u16string& text)
{
    RtfEdit edit = EditRtf(m_bytes, m_story, start, end, text);
    m_bytes = std::move(edit.bytes);
    m_story = std::move(edit.story);
}

void RtfDocument::save()
{
    if (m_path.empty()) Refuse(kErrorNotWritable, "Das Dokument hat keine Datei.");
    // Opening for a replace refuses a read-only file and resolves symbolic
    // links, so the link stays and its target gets the new contents.
    InputFile file;
    if (!file.open(m_path, InputFile::Mode::Replace))
        Refuse(kErrorNotWritable, "Das Dokument kann nicht gespeichert werden: " + SystemErrorText(file.lastError()));
    std::string current;
    try {
        current = readAll(file);
    } catch (const FrameworkException& e) {
        Refuse(kErrorSaveFailed, "Das Dokument kann nicht gespeichert werden: " + e.errorText());
    }
    // Another program's changes since the document was opened would be lost.
    if (current != m_saved)
        Refuse(kErrorChangedOnDisk, "Die Datei wurde seit dem Öffnen von einem anderen Programm geändert.");
    if (const int error = CommitContents(file, m_bytes, current))
        Refuse(kErrorSaveFailed, "Das Dokument kann nicht gespeichert werden: " + SystemErrorText(error));
    m_saved = m_bytes;
}

}  // namespace tarnwick::word
