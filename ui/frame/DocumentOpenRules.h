#pragma once
// The rules of the program's open operation that need no window: the main
// window's title, which of several dropped files is opened, and which paths
// are refused before the viewer tries them.
#include <QList>
#include <QString>
#include <QUrl>

namespace tarnwick::ui {

inline constexpr char kProgramTitle[] = "Tarnwick 2.0";

// "Tarnwick 2.0", or "Tarnwick 2.0 - <path>" while the viewer shows a file.
QString MainWindowTitle(const QString& path = {});

// The path a drop opens: the first dropped item, when it is a local file or
// folder; empty for anything else (the others dropped with it are ignored).
QString DroppedFilePath(const QList<QUrl>& urls);

// The absolute form of a path given relative to the working directory.
QString AbsoluteDocumentPath(const QString& path);

// Where "Öffnen" starts for the file shown at `path`: the nearest folder
// above it that exists. A file shown from inside an archive is named
// "a.zip » inner/b.txt", so the folder holding the archive; empty for none.
QString ExistingFolderOf(const QString& path);

// Why `path` cannot be opened as a document (a folder, a missing or an
// unreadable file), as a message for the user; empty when it can be tried.
QString OpenRefusal(const QString& path);

}  // namespace tarnwick::ui
