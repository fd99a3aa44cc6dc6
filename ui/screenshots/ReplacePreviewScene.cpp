// "Vorschau der Ersetzungen" after a preview of a small project: a text
// file with its backup copy and changed lines (the replaced words marked),
// a renamed file, a document and a binary file.
#include <memory>

#include "platform/CodePage.h"
#include "ui/replacepreview/ReplacePreviewCollector.h"
#include "ui/replacepreview/ReplacePreviewDialog.h"
#include "ui/screenshots/ScreenshotScenes.h"

namespace tarnwick::screenshots {
namespace {

void RenderReplacePreview(const QString& pngPath)
{
    auto preview = std::make_shared<ui::ReplacePreviewCollector>(CodePage::system());
    const std::string root = "/home/anna/Projekte/Kasse/";
    preview->backup(root + "src/kasse.cpp", root + "src/kasse.cpp.bak");
    preview->contents(root + "src/kasse.cpp",
                      "#include \"Beleg.h\"\n\nvoid Drucke(const Beleg& beleg)\n{\n    beleg.Drucke();\n}\n\n"
                      "// Beleg an den Drucker\nint Anzahl(const Beleg& beleg);\n",
                      "#include \"Quittung.h\"\n\nvoid Drucke(const Quittung& beleg)\n{\n    beleg.Drucke();\n}\n\n"
                      "// Quittung an den Drucker\nint Anzahl(const Quittung& beleg);\n",
                      4);
    preview->backup(root + "src/Beleg.h", root + "src/Beleg.h.bak");
    preview->contents(root + "src/Beleg.h", "class Beleg {\npublic:\n    void Drucke() const;\n};\n",
                      "class Quittung {\npublic:\n    void Drucke() const;\n};\n", 1);
    preview->rename(root + "src", "Beleg.h", "Quittung.h");
    preview->document(root + "doc/Handbuch.docx", u"Jeder Beleg wird gedruckt.\rDer Kunde erhält ihn sofort.\r",
                      u"Jede Quittung wird gedruckt.\rDer Kunde erhält ihn sofort.\r", 1);
    preview->contents(root + "daten/muster.bin", std::string("Beleg\0\1\2", 8), std::string("Quittung\0\1\2", 11), 1);
    ui::ReplacePreviewDialog dialog(preview);
    dialog.resize(760, 520);
    SaveWindowShot(dialog, pngPath);
}

const SceneRegistration kReplacePreview{QStringLiteral("replace-preview"), &RenderReplacePreview};

}  // namespace
}  // namespace tarnwick::screenshots
