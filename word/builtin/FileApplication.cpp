#include "word/builtin/FileApplication.h"

#include "platform/InputFile.h"
#include "platform/SystemError.h"
#include "word/automation/WordErrors.h"
#include "word/open/OpenDocumentFormat.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>

namespace tarnwick::word {

class FileApplication::DocumentsObject : public Documents {
public:
    explicit DocumentsObject(FileApplication& application) : m_application(application) {}
    Document& Open(const std::string& path, bool, bool readOnly, bool) override { return m_application.open(path, readOnly); }

private:
    FileApplication& m_application;
};

class FileApplication::SelectionObject : public Selection {
public:
    explicit SelectionObject(FileApplication& application) : m_application(application) {}
    std::int64_t Start() const override { return document().selectionStart(); }
    std::int64_t End() const override { return document().selectionEnd(); }
    void SetStart(std::int64_t position) override
    {
        FileDocument& d = document();
        d.select(position, std::max(position, d.selectionEnd()));
    }
    void SetEnd(std::int64_t position) override
    {
        FileDocument& d = document();
        d.select(std::min(position, d.selectionStart()), position);
    }
    std::u16string Text() const override
    {
        FileDocument& d = document();
        return d.story(d.selectionStory()).textOf(d.selectionStart(), d.selectionEnd());
    }
    void SetText(const std::u16string& text) override
    {
        FileDocument& d = document();
        const std::int64_t start = d.selectionStart();
        d.select(start, d.replace(d.selectionStory(), start, d.selectionEnd(), text));
    }
    StoryId Story() const override { return document().selectionStory(); }

private:
    FileDocument& document() const { return m_application.activeDocument(); }
    FileApplication& m_application;
};

FileApplication::FileApplication(FormatOpener opener)
    : m_opener(opener), m_documentsObject(std::make_unique<DocumentsObject>(*this)),
      m_selectionObject(std::make_unique<SelectionObject>(*this))
{
}

FileApplication::~FileApplication() = default;

void FileApplication::checkRunning() const
{
    if (m_quit) throw AutomationError(ENOTCONN, SystemErrorText(ENOTCONN));
}

Documents& FileApplication::GetDocuments()
{
    checkRunning();
    return *m_documentsObject;
}

Selection& FileApplication::GetSelection()
{
    checkRunning();
    return *m_selectionObject;
}

void FileApplication::Quit(bool saveChanges)
{
    checkRunning();
    if (saveChanges) {
        for (const auto& document : m_documents)
            if (document->isModified() && !document->isReadOnly()) document->Save();
    }
    m_active = nullptr;
    m_documents.clear();
    m_quit = true;
}

FileDocument& FileApplication::open(const std::string& path, bool readOnly)
{
    checkRunning();
    if (path.empty()) Refuse(kErrorCannotOpen, "Es wurde kein Dateiname angegeben.");
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0)
        Refuse(kErrorCannotOpen, "Die Datei kann nicht geöffnet werden: " + SystemErrorText(errno));

    auto probeWritable = [&] {
        InputFile probe;
        if (const std::error_code error = probe.open(path, InputFile::Mode::Replace))
            Refuse(kErrorNotWritable, "Die Datei kann nicht zum Schreiben geöffnet werden: " + SystemErrorText(error));
    };

    // The same file under another name is the same document. Saving gives
    // a file a new inode, so identities are compared now, not remembered.
    for (const auto& document : m_documents) {
        struct stat other {};
        if (::stat(document->FullName().c_str(), &other) != 0 || other.st_dev != st.st_dev || other.st_ino != st.st_ino) continue;
        if (!readOnly && document->isReadOnly()) {
            probeWritable();
            document->setReadOnly(false);
        }
        activate(*document);
        return *document;
    }

    std::unique_ptr<DocumentFormat> format = m_opener(path);
    if (!readOnly) probeWritable();
    std::error_code error;
    std::filesystem::path fullName = std::filesystem::absolute(path, error);
    if (error) fullName = path;
    auto document = std::make_unique<FileDocument>(*this, fullName.lexically_normal().string(), std::move(format), readOnly);
    m_documents.push_back(std::move(document));
    m_active = m_documents.back().get();
    return *m_active;
}

FileDocument& FileApplication::activeDocument()
{
    checkRunning();
    if (!m_active) Refuse(kErrorNoDocument, "Es ist kein Dokument geöffnet.");
    return *m_active;
}

void FileApplication::activate(FileDocument& document)
{
    checkRunning();
    m_active = &document;
}

void FileApplication::close(FileDocument& document)
{
    const auto it =
        std::find_if(m_documents.begin(), m_documents.end(), [&](const auto& open) { return open.get() == &document; });
    if (it == m_documents.end()) return;
    const bool wasActive = m_active == &document;
    m_documents.erase(it);
    if (wasActive) m_active = m_documents.empty() ? nullptr : m_documents.back().get();
}

std::unique_ptr<Application> CreateFileApplication() { return std::make_unique<FileApplication>(&OpenDocumentFormat); }

}  // namespace tarnwick::word
