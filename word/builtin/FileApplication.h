#pragma once
// The built-in implementation of the automation interface: documents are
// opened through their format readers (DocumentFormat) and changed and
// saved by them. One application per thread; not thread-safe.
//
// ScreenUpdating, Visible, ConfirmConversions and AddToRecentFiles have no
// effect. After Quit every call fails with an AutomationError, as calls on
// a server that has ended would.
#include <memory>
#include <string>
#include <vector>

#include "word/automation/Automation.h"
#include "word/builtin/FileDocument.h"

namespace tarnwick::word {

using FormatOpener = std::unique_ptr<DocumentFormat> (*)(const std::string& path);

class FileApplication : public Application {
public:
    explicit FileApplication(FormatOpener opener);
    ~FileApplication() override;

    Documents& GetDocuments() override;
    // The selection of whichever document is active when it is used; fails
    // (ServerError kErrorNoDocument) while none is open.
    Selection& GetSelection() override;
    void SetScreenUpdating(bool) override { checkRunning(); }
    void Quit(bool saveChanges) override;
    void Windows() override { checkRunning(); }
    Document& ActiveDocument() override { return activeDocument(); }
    void SetVisible(bool) override { checkRunning(); }

    // Opens `path`, or returns the document already open for that file; it
    // becomes the active document. A document opened for writing must be
    // writable now (ServerError kErrorNotWritable otherwise).
    FileDocument& open(const std::string& path, bool readOnly);
    FileDocument& activeDocument();
    void activate(FileDocument& document);
    // Destroys `document`; another open document becomes the active one.
    void close(FileDocument& document);
    std::size_t documentCount() const { return m_documents.size(); }

private:
    class DocumentsObject;
    class SelectionObject;
    void checkRunning() const;

    FormatOpener m_opener;
    std::vector<std::unique_ptr<FileDocument>> m_documents;
    FileDocument* m_active = nullptr;
    std::unique_ptr<DocumentsObject> m_documentsObject;
    std::unique_ptr<SelectionObject> m_selectionObject;
    bool m_quit = false;
};

}  // namespace tarnwick::word
