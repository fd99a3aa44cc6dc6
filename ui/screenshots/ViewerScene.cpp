// The page "Vorschau" showing a file with a hit opened from the results, the
// same with the find and replace dialog open over it, and a UTF-16 text file
// (with its byte-order mark and CR LF line ends) shown and editable as text.
#include <QApplication>
#include <QByteArray>
#include <QFile>
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

// A sample file: its name, its bytes, and the hit (bytes of the file).
struct Sample {
    QString name;
    QByteArray bytes;
    std::int64_t hitStart = 0;
    std::int64_t hitLength = 0;
};

Sample CppSample()
{
    const QByteArray bytes(kSample);
    return {QStringLiteral("verbindung.cpp"), bytes, bytes.indexOf("Wiederholungen; ++"), 14};
}

// The Windows notepad's "Unicode": UTF-16 little endian after FF FE.
Sample Utf16Sample()
{
    const QString text = QStringLiteral("Protokoll der Sitzung vom 14. März\r\n"
                                        "\r\n"
                                        "Anwesend: Jürgen Weiß, Anna Öztürk, Zoë Müller\r\n"
                                        "Tagesordnung: Grüße an die Partner in Łódź und Malmö\r\n"
                                        "Beschluss: Die Wiederholungen der Messreihe entfallen.\r\n"
                                        "Kosten: 1.250 € (genehmigt)\r\n");
    QByteArray bytes("\xff\xfe", 2);
    for (const QChar c : text) {
        bytes.append(static_cast<char>(c.unicode() & 0xff));
        bytes.append(static_cast<char>(c.unicode() >> 8));
    }
    const auto at = static_cast<std::int64_t>(text.indexOf(QStringLiteral("Wiederholungen")));
    return {QStringLiteral("protokoll.txt"), bytes, 2 + 2 * at, 2 * 14};
}

void Render(const QString& pngPath, const Sample& sample, bool withDialog)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(sample.name);
    QFile out(file);
    if (!out.open(QIODevice::WriteOnly) || out.write(sample.bytes) != sample.bytes.size()) {
        qWarning("cannot write the sample file");
        return;
    }
    out.close();
    const FixedClock clock(1'710'408'600);
    ui::ProgramSetup setup;
    setup.profilePath = dir.filePath(QStringLiteral("Tarnwick.conf")).toStdString();
    setup.clock = &clock;
    ui::ProgramWindow window(setup);
    window.controller().setComboText(ui::FormCombo::SearchText, "Wiederholungen");
    window.controller().setComboText(ui::FormCombo::ReplaceText, "Versuche");
    window.form().refresh();
    window.frame().resize(WindowSize(QSize(1000, 680)));
    auto* page = dynamic_cast<ui::ViewerPage*>(window.viewer());
    page->openForResult(file, sample.hitStart, sample.hitLength, 52'428'800);
    window.frame().showPreviewTab();
    if (!withDialog) {
        SaveWindowShot(window.frame(), pngPath);
        return;
    }
    window.frame().show();
    page->showFindDialog(true);
    for (int round = 0; round < 5; ++round) QApplication::processEvents();
    // The dialog is a window of its own: it is drawn over the main window where it would stand.
    ui::ViewerFindDialog* dialog = page->findDialog();
    const QPixmap shot = ShotWithDialog(window.frame(), dialog->grab(), dialog->windowTitle());
    if (!shot.save(pngPath, "PNG")) qWarning("cannot write %s", qPrintable(pngPath));
    dialog->close();
}

void RenderViewer(const QString& pngPath) { Render(pngPath, CppSample(), false); }
void RenderViewerFindReplace(const QString& pngPath) { Render(pngPath, CppSample(), true); }
void RenderViewerUtf16(const QString& pngPath) { Render(pngPath, Utf16Sample(), false); }

const SceneRegistration kViewer{QStringLiteral("viewer"), &RenderViewer};
const SceneRegistration kViewerFindReplace{QStringLiteral("viewer-find-replace"), &RenderViewerFindReplace};
const SceneRegistration kViewerUtf16{QStringLiteral("viewer-utf16"), &RenderViewerUtf16};

}  // namespace
}  // namespace tarnwick::screenshots
