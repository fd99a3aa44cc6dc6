#include "word/rtf/RtfDocument.h"

#include <cerrno>

#include "platform/Exceptions.h"
#include "platform/FileCommit.h"
#include "platform/SystemError.h"
#include "word/automation/WordErrors.h"
#include "word/format/DocumentFile.h"
#include "word/rtf/RtfEditor.h"

namespace tarnwick::word {
namespace {

}  // namespace

RtfDocument::RtfDocument(std::string path, std::string bytes)
    : m_path(std::move(path)), m_bytes(std::move(bytes)), m_saved(m_bytes), m_story(ReadRtf(m_bytes))
{
}

std::unique_ptr<RtfDocument> RtfDocument::open(const std::string& path)
{
    return std::unique_ptr<RtfDocument>(new RtfDocument(path, ReadDocumentFile(path)));
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
    SaveDocumentFile(m_path, m_saved, m_bytes);
    m_saved = m_bytes;
}

}  // namespace tarnwick::word
