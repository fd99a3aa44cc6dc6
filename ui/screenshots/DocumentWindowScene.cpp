// The word processor's window after a hit in a document was opened from the
// results: the letter's text with the hit selected. The document (an .rtf,
// which needs no archive) is written into a temporary folder and shown
// through the same connection the program uses.
#include <QTemporaryDir>

#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

#include "ui/screenshots/ScreenshotScenes.h"
#include "ui/viewer/DocumentWindow.h"
#include "ui/viewer/ViewerWordConnection.h"
#include "word/automation/Automation.h"

namespace tarnwick::screenshots {
namespace {

const std::vector<std::string> kLetter = {
    "Anna Berger · Lindenweg 4 · 38640 Goslar",
    "",
    "Schreinerei Holzmann",
    "Am Mühlbach 12",
    "38644 Goslar",
    "",
    "Goslar, 3. Dezember 2026",
    "",
    "Lieferung des Esstischs, Auftrag 2026-118",
    "",
    "Sehr geehrter Herr Holzmann,",
    "",
    "vielen Dank für die schnelle Bestätigung unseres Auftrags. Wie besprochen bitten wir um die Lieferung des "
    "Esstischs aus Eiche am Freitag, dem 18. Dezember, zwischen 9 und 12 Uhr.",
    "Bitte rufen Sie uns am Vortag kurz an, damit jemand zu Hause ist. Die Anzahlung haben wir heute überwiesen; "
    "den Rest begleichen wir bei Lieferung.",
    "",
    "Mit freundlichen Grüßen",
    "Anna Berger",
};

// The letter as RTF; characters beyond ASCII as \u escapes.
std::string LetterRtf()
{
    std::string rtf = "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0 Arial;}}\\uc1\\f0 ";
    for (const std::string& paragraph : kLetter) {
        for (const char16_t c : QString::fromStdString(paragraph).toStdU16String()) {
            if (c < 0x80)
                rtf += static_cast<char>(c);
            else
                rtf += "\\u" + std::to_string(static_cast<std::int16_t>(c)) + "?";
        }
        rtf += "\\par\n";
    }
    return rtf + "}";
}

void RenderDocumentWindow(const QString& pngPath)
{
    QTemporaryDir folder;
    const std::string path = folder.filePath(QStringLiteral("lieferung.rtf")).toStdString();
    std::ofstream(path, std::ios::binary) << LetterRtf();

    // The hit: the second "Lieferung", in the body of the letter, in UTF-16
    // positions as a search reports them.
    std::u16string text;
    for (const std::string& paragraph : kLetter) text += QString::fromStdString(paragraph).toStdU16String() + u"\r";
    const std::size_t first = text.find(u"Lieferung");
    const std::size_t hit = text.find(u"Lieferung", first + 1);

    ui::DocumentWindow window;
    window.resize(820, 560);
    ui::ViewerWordConnection connection(word::CreateFileApplication, &window);
    connection.show(path, static_cast<std::int64_t>(hit), 9);
    SaveWindowShot(window, pngPath);
}

const SceneRegistration kDocumentWindow{QStringLiteral("document-window"), &RenderDocumentWindow};

}  // namespace
}  // namespace tarnwick::screenshots
