#include "ui/results/DefaultPdfViewer.h"

#include <QFile>
#include <QProcess>
#include <QStandardPaths>

#include "ui/results/PdfPageCommand.h"

namespace tarnwick::ui {

std::string DefaultPdfHandlerExec()
{
    QProcess query;
    query.start(QStringLiteral("xdg-mime"),
                {QStringLiteral("query"), QStringLiteral("default"), QStringLiteral("application/pdf")});
    // A desktop without xdg-utils, or one that hangs, leaves the page to the viewer.
    if (!query.waitForFinished(3000) || query.exitStatus() != QProcess::NormalExit || query.exitCode() != 0) {
        query.kill();
        return {};
    }
    const QString id = QString::fromLocal8Bit(query.readAllStandardOutput()).trimmed();
    if (id.isEmpty()) return {};
    // A desktop file in a subfolder has its '/' as '-' in its id ("kde-okular.desktop").
    QString found = QStandardPaths::locate(QStandardPaths::ApplicationsLocation, id);
    for (qsizetype dash = id.indexOf(u'-'); found.isEmpty() && dash > 0; dash = id.indexOf(u'-', dash + 1))
        found = QStandardPaths::locate(QStandardPaths::ApplicationsLocation, QString(id).replace(dash, 1, u'/'));
    QFile desktopFile(found);
    if (found.isEmpty() || !desktopFile.open(QIODevice::ReadOnly)) return {};
    const QByteArray text = desktopFile.read(1 << 20);
    return DesktopEntryExec(std::string_view(text.constData(), static_cast<std::size_t>(text.size())));
}

bool OpenPdfAtPage(const std::string& path, int page, ProgramStarter& starter)
{
    const std::string exec = DefaultPdfHandlerExec();
    if (exec.empty()) return false;
    const auto command = PdfPageCommand(exec, path, page);
    return command && starter.start(*command);
}

}  // namespace tarnwick::ui
