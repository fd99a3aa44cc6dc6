#pragma once
// When the viewer loads a file, and what it asks first: the question about a
// very large file (results only), the question about unsaved changes, and the
// message for a file that cannot be read. Holds the viewer's state: loaded,
// the path shown, whether the next open must read the file again.
//
// The questions go through ViewerPrompts and the editor through
// ViewerDocument, so tests run without widgets. UI thread only.
#include <QByteArray>
#include <QString>
#include <cstdint>
#include <functional>
#include <optional>

#include "ui/viewer/ViewerAccess.h"
#include "ui/viewer/ViewerCodec.h"
#include "ui/viewer/ViewerPrompts.h"

namespace tarnwick::ui {

// The editor as the opener sees it.
class ViewerDocument {
public:
    virtual ~ViewerDocument() = default;
    virtual bool isModified() const = 0;
    // Saves the text to the file shown; false when that failed or the user
    // cancelled (the user has been told).
    virtual bool saveDocument() = 0;
    // Shows a freshly read file; the text is no longer modified.
    virtual void showText(const QString& path, ViewerText text) = 0;
    // Selects the characters that hold these bytes of the file shown.
    virtual void selectBytes(std::int64_t byteStart, std::int64_t byteLength) = 0;
    // Selects these characters (code points) of the text shown.
    virtual void selectCodePoints(std::int64_t start, std::int64_t length) = 0;
};

// A file read whole, or why not (a German text for the user).
struct ViewerFileRead {
    std::optional<QByteArray> bytes;
    QString error;
};

// The size of a regular file; nothing for anything else (a directory, a
// FIFO, a device) or when it cannot be examined, with the reason in `error`.
std::optional<std::int64_t> ViewerFileSize(const QString& path, QString* error);
// Reads a regular file; never blocks on a FIFO or a device.
ViewerFileRead ReadViewerFile(const QString& path);

// The UTF-16 range of `text` that holds its code points [start, start + length).
std::pair<qsizetype, qsizetype> CodePointRange(const QString& text, std::int64_t start, std::int64_t length);

class ViewerOpener {
public:
    ViewerOpener(ViewerPrompts& prompts, ViewerDocument& document, const ViewerCodec& codec);

    // A hit of the results: see ViewerAccess::openForResult.
    bool openForResult(const QString& path, std::int64_t byteStart, std::int64_t byteLength, std::int64_t splitLength);
    // A hit inside an archive, a compressed file or a PDF: see ViewerAccess::openInnerForResult.
    bool openInnerForResult(const QString& name, const std::function<ViewerInnerRead()>& read, std::int64_t start,
                            std::int64_t length, std::int64_t splitLength);
    // The program's open operation: always reads the file, asks about unsaved
    // changes first.
    bool openFile(const QString& path);
    // An empty document without a file (Ctrl+N), after the question about
    // unsaved changes; false when the user cancelled it or saving failed.
    bool newDocument();
    void markForReload() { m_reloadRequired = true; }
    // False when the user cancels the question about unsaved changes, or
    // saving failed.
    bool confirmClose();
    // "Speichern unter" gave the text a new path.
    void setCurrentPath(const QString& path) { m_currentPath = path; }

    bool isLoaded() const { return m_loaded; }
    const QString& currentPath() const { return m_currentPath; }
    bool isReloadRequired() const { return m_reloadRequired; }

private:
    bool load(const QString& path);
    bool settleUnsavedChanges();

    ViewerPrompts& m_prompts;
    ViewerDocument& m_document;
    const ViewerCodec& m_codec;
    bool m_loaded = false;
    bool m_reloadRequired = false;
    // What is shown came from inside another file; a page text counts in characters.
    bool m_inner = false;
    bool m_innerPageText = false;
    QString m_currentPath;
};

}  // namespace tarnwick::ui
