#include "ui/frame/DocumentOpenRules.h"

#include <QDir>
#include <QFileInfo>

#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/SystemError.h"
#include "ui/common/EngineText.h"

namespace tarnwick::ui {

QString MainWindowTitle(const QString& path)
{
    const QString title = QString::fromUtf8(kProgramTitle);
    return path.isEmpty() ? title : title + QStringLiteral(" - ") + path;
}

QString DroppedFilePath(const QList<QUrl>& urls)
{
    if (urls.isEmpty() || !urls.first().isLocalFile()) return {};
    return urls.first().toLocalFile();
}

QString AbsoluteDocumentPath(const QString& path)
{
    if (path.isEmpty()) return {};
    return QDir::cleanPath(QFileInfo(path).absoluteFilePath());
}

QString ExistingFolderOf(const QString& path)
{
    if (path.isEmpty()) return {};
    for (QString folder = QFileInfo(path).absolutePath();; folder = QFileInfo(folder).absolutePath()) {
        if (QFileInfo(folder).isDir()) return folder;
        if (QFileInfo(folder).absolutePath() == folder) return {};
    }
}

QString OpenRefusal(const QString& path)
{
    const std::string bytes = toPath(path);
    struct stat info {};
    if (::stat(bytes.c_str(), &info) != 0) {
        if (errno == ENOENT) return path + qs("\nDie Datei wurde nicht gefunden.");
        return path + qs("\nDie Datei kann nicht geöffnet werden: ") + fromStoredText(SystemErrorText(errno));
    }
    if (S_ISDIR(info.st_mode)) return path + qs("\nDies ist ein Verzeichnis. Geöffnet werden können nur Dateien.");
    if (!S_ISREG(info.st_mode)) return path + qs("\nDies ist keine gewöhnliche Datei und wird nicht geöffnet.");
    if (::access(bytes.c_str(), R_OK) != 0)
        return path + qs("\nDie Datei kann nicht gelesen werden: ") + fromStoredText(SystemErrorText(errno));
    return {};
}

}  // namespace tarnwick::ui
