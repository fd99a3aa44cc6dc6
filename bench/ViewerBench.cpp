// How fast the internal viewer opens and searches a big file: a 50 MB text
// file is opened in the page "Vorschau" (read, decode, hand to the editor,
// first layout and paint), then "Weitersuchen" looks for a word near the end
// and for one that is not there (the whole text is searched twice), with word
// wrap on and off. Prints the times in milliseconds; a figure, not a test.
//
//   viewer-bench [MEGABYTES]   (default 50)
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTextCursor>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/CodePage.h"
#include "settings/ProfileStore.h"
#include "ui/viewer/ViewerCodec.h"
#include "ui/viewer/ViewerEdit.h"
#include "ui/viewer/ViewerOpener.h"
#include "ui/viewer/ViewerPage.h"

namespace {

using namespace tarnwick;

struct SilentPrompts : ui::ViewerPrompts {
    bool askOpenLargeFile() override { return true; }
    ui::SaveAnswer askSaveChanges(const QString&) override { return ui::SaveAnswer::Discard; }
    void showError(const QString& text) override { std::fprintf(stderr, "error: %s\n", qPrintable(text)); }
};

// Lines of German source-like text, about 70 bytes each, with one "Zielwort"
// in the last kilobyte.
QByteArray MakeText(qsizetype bytes)
{
    const char* lines[] = {
        "    for (int versuch = 0; versuch < Wiederholungen; ++versuch) {\n",
        "        Meldung(\"Der Archivserver antwortet nicht (%d).\", fehler);\n",
        "    // Grüße an die Prüfstelle: Maße und Gewichte stimmen überein.\n",
        "    return VerbindeArchiv(rechner, port) == 0 ? ERFOLG : FEHLER;\n",
    };
    QByteArray text;
    text.reserve(bytes + 128);
    for (std::size_t i = 0; text.size() < bytes - 1024; ++i) text.append(lines[i % 4]);
    text.append("    Zielwort gefunden: das Ende ist nah.\n");
    while (text.size() < bytes) text.append(lines[0]);
    text.truncate(bytes);
    return text;
}

double Ms(const QElapsedTimer& timer) { return static_cast<double>(timer.nsecsElapsed()) / 1e6; }

void Settle()
{
    for (int round = 0; round < 3; ++round) QApplication::processEvents();
}

void Run(const QString& path, qsizetype size, bool wrap)
{
    QTemporaryDir profileDir;
    settings::ProfileStore store(profileDir.filePath(QStringLiteral("Tarnwick.conf")).toStdString());
    SilentPrompts prompts;
    ui::ViewerPage page(store, CodePage::system(), &prompts);
    page.setWordWrap(wrap);
    page.resize(1000, 700);
    page.show();
    Settle();

    // The steps of an open one by one, then the open as the program does it.
    QElapsedTimer timer;
    timer.start();
    ui::ViewerFileRead read = ui::ReadViewerFile(path);
    const double readMs = Ms(timer);
    timer.restart();
    ui::ViewerCodec codec(CodePage::system());
    ui::ViewerText text = codec.decode(*read.bytes);
    const double decodeMs = Ms(timer);
    read.bytes.reset();

    timer.restart();
    page.openFile(path);
    const double openMs = Ms(timer);
    timer.restart();
    page.editor()->viewport()->repaint();
    Settle();
    const double layoutMs = Ms(timer);

    const auto timeFind = [&](const char* word) {
        page.setFindDefaults([word] {
            ui::ViewerFindOptions options;
            options.findText = QString::fromUtf8(word);
            return options;
        });
        page.showFindDialog(false);
        QTextCursor start = page.editor()->textCursor();
        start.setPosition(0);
        page.editor()->setTextCursor(start);
        QElapsedTimer find;
        find.start();
        page.findNext();
        return Ms(find);
    };
    const double nearEndMs = timeFind("Zielwort");
    const double absentMs = timeFind("Nirgendwo");
    // After an edit: the finder's copy follows the edit.
    page.editor()->textCursor().insertText(QStringLiteral("x"));
    const double afterEditMs = timeFind("Zielwort");
    const double againMs = timeFind("Zielwort");

    std::printf("%-9s %6.0f MB  read %6.1f  decode %6.1f  open (read+decode+setPlainText) %7.1f  first layout+paint %6.1f"
                "  = %7.1f ms\n",
                wrap ? "wrap on" : "wrap off", static_cast<double>(size) / 1e6, readMs, decodeMs, openMs, layoutMs,
                openMs + layoutMs);
    std::printf("%-9s find next: word near the end %6.1f ms, absent word (text searched twice) %6.1f ms, "
                "first find after an edit %6.1f ms, then %6.1f ms\n",
                "", nearEndMs, absentMs, afterEditMs, againMs);
    if (page.findDialog() != nullptr) page.findDialog()->close();
}

}  // namespace

int main(int argc, char** argv)
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const qsizetype megabytes = argc > 1 ? std::atoi(argv[1]) : 50;
    const qsizetype size = megabytes * 1'000'000;
    QTemporaryDir dir;
    const QString path = QDir(dir.path()).filePath(QStringLiteral("big.txt"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(MakeText(size)) != size) {
        std::fprintf(stderr, "viewer-bench: cannot write %s\n", qPrintable(path));
        return 1;
    }
    file.close();
    Run(path, size, true);
    Run(path, size, false);
    return 0;
}
