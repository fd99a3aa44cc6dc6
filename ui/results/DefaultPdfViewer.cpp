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
    QFile desktopFile(QStandardPaths::locate(QStandardPaths::ApplicationsLocation, id));
    if (!desktopFile.open(QIODevice::ReadOnly)) return {};
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
