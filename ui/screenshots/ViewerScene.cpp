// The page "Vorschau" showing a file with a hit opened from the results, and
// the same with the find and replace dialog open over it.
#include <QApplication>
#include <QFile>
#include <QPainter>
#include <QPixmap>
#include <QTemporaryDir>
#include <QtDebug>

#include "platform/Clock.h"
#include "ui/app/ProgramWindow.h"
#include "ui/frame/MainFrame.h"
#include "ui/screenshots/ScreenshotScenes.h"
#include "ui/searchform/SearchFormController.h"
#include "ui/searchform/SearchFormWidget.h"
#include "ui/viewer/ViewerFindDialog.h"
#include "ui/viewer/ViewerPage.h"

namespace tarnwick::screenshots {
namespace {

const char kSample[] = "// Verbindungsaufbau zum Archivserver\r\n"
                       "#include \"archiv.h\"\r\n"
                       "\r\n"
                       "static int Wiederholungen = 3;\r\n"
                       "\r\n"
                       "int VerbindeArchiv(const char* rechner, int port)\r\n"
                       "{\r\n"
                       "    for (int versuch = 0; versuch < Wiederholungen; ++versuch) {\r\n"
                       "        if (ArchivOeffnen(rechner, port) == 0)\r\n"
                       "            return 0;  // Verbindung steht\r\n"
                       "        Warte(500 * (versuch + 1));\r\n"
                       "    }\r\n"
                       "    Meldung(\"Der Archivserver %s antwortet nicht.\", rechner);\r\n"
                       "    return -1;\r\n"
                       "}\r\n";

void Render(const QString& pngPath, bool withDialog)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("verbindung.cpp"));
    QFile out(file);
    if (!out.open(QIODevice::WriteOnly) || out.write(kSample) != qint64(sizeof kSample - 1)) {
        qWarning("cannot write the sample file");
        return;
    }
    out.close();
    const FixedClock clock(1'710'408'600);
    ui::ProgramSetup setup;
    setup.profilePath = dir.filePath(QStringLiteral("Tarnwick.conf")).toStdString();
    setup.clock = &clock;
    ui::ProgramWindow window(setup);
    window.controller().SetComboText(ui::FormCombo::SearchText, "Wiederholungen");
    window.controller().SetComboText(ui::FormCombo::ReplaceText, "Versuche");
    window.form().refresh();
    window.frame().resize(1000, 680);
    auto* page = dynamic_cast<ui::ViewerPage*>(window.viewer());
    const std::string bytes(kSample);
    page->openForResult(file, static_cast<std::int64_t>(bytes.find("Wiederholungen; ++")), 14, 52'428'800);
    window.frame().showPreviewTab();
    if (!withDialog) {
        SaveWindowShot(window.frame(), pngPath);
        return;
    }
    window.frame().show();
    page->showFindDialog(true);
    for (int round = 0; round < 5; ++round) QApplication::processEvents();
    // The dialog is a window of its own: it is drawn over the main window where it would stand.
    QPixmap shot = window.frame().grab();
    ui::ViewerFindDialog* dialog = page->findDialog();
    const QPixmap dialogShot = dialog->grab();
    QPainter painter(&shot);
    // Without a window manager there is no title bar: a plain one is drawn.
    const int titleHeight = 24;
    const QPoint at((shot.width() - dialogShot.width()) / 2, shot.height() - dialogShot.height() - 80);
    const QRect frameRect(at - QPoint(0, titleHeight), QSize(dialogShot.width(), dialogShot.height() + titleHeight));
    painter.fillRect(frameRect.translated(4, 4), QColor(0, 0, 0, 60));
    painter.fillRect(QRect(frameRect.topLeft(), QSize(frameRect.width(), titleHeight)), QColor(0x3a, 0x6e, 0xa5));
    painter.setPen(Qt::white);
    painter.drawText(QRect(frameRect.topLeft() + QPoint(8, 0), QSize(frameRect.width() - 16, titleHeight)),
                     Qt::AlignVCenter | Qt::AlignLeft, dialog->windowTitle());
    painter.drawPixmap(at, dialogShot);
    painter.setPen(QColor(0x50, 0x50, 0x50));
    painter.drawRect(frameRect.adjusted(0, 0, -1, -1));
    painter.end();
    if (!shot.save(pngPath, "PNG")) qWarning("cannot write %s", qPrintable(pngPath));
    dialog->close();
}

void RenderViewer(const QString& pngPath) { Render(pngPath, false); }
void RenderViewerFindReplace(const QString& pngPath) { Render(pngPath, true); }

const SceneRegistration kViewer{QStringLiteral("viewer"), &RenderViewer};
const SceneRegistration kViewerFindReplace{QStringLiteral("viewer-find-replace"), &RenderViewerFindReplace};

}  // namespace
}  // namespace tarnwick::screenshots
