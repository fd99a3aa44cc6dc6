#pragma once
// The internal viewer as the rest of the program sees it: the results open a
// hit in it, the main window opens files from the command line, from drops and
// from "Öffnen...", and asks it about unsaved changes when it closes.
// User interface thread only.
#include <QByteArray>
#include <QString>

#include <cstdint>
#include <functional>
#include <optional>

class QWidget;

namespace tarnwick::ui {

// What was read from inside an archive, a compressed file or a PDF for the
// viewer: the inner file's bytes, or the UTF-8 text of a PDF page, a sheet or
// a slide; or why not (a German text for the user).
struct ViewerInnerRead {
    std::optional<QByteArray> bytes;
    bool isPageText = false;  // positions count characters (code points), not bytes
    QString error;
};

class ViewerAccess {
public:
    virtual ~ViewerAccess() = default;

    // Opens `path` for a result and selects the hit. `byteStart` and
    // `byteLength` are byte positions in the file (as the search reported
    // them); the viewer turns them into characters of the text it shows.
    // byteStart -1: no selection. The same path is not read again unless it
    // was marked for reload; a file larger than `splitLength` bytes asks first.
    // Returns whether the file is shown.
    virtual bool openForResult(const QString& path, std::int64_t byteStart, std::int64_t byteLength,
                               std::int64_t splitLength) = 0;

    // A hit found inside an archive, a compressed file or a PDF: `read` gives
    // its file or page, never written to disk, which is shown read-only under
    // `name` (the composite path) with the hit selected as openForResult does
    // (characters of a page text). `read` runs only when `name` is not shown
    // already; a read larger than `splitLength` asks first.
    virtual bool openInnerForResult(const QString& name, const std::function<ViewerInnerRead()>& read, std::int64_t start,
                                    std::int64_t length, std::int64_t splitLength) = 0;

    // Files are about to change (a replace run): the next openForResult reads
    // the file again, without the size question.
    virtual void markForReload() = 0;

    // The program's open operation (command line, dropped file, "Öffnen..."):
    // asks about unsaved changes first, reads the file, shows it. False when
    // the user cancelled or the file cannot be read (the user has been told).
    virtual bool openFile(const QString& path) = 0;

    // The path shown, empty while nothing is loaded.
    virtual QString currentPath() const = 0;

    // Asked when the main window closes: false when the user cancels the
    // question about unsaved changes.
    virtual bool confirmClose() = 0;

    // The widget shown as the page "Vorschau".
    virtual QWidget* page() = 0;
};

}  // namespace tarnwick::ui
