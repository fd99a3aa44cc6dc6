#include "formjob/ExportDialogLogic.h"

#include "tests/support/TempTree.h"

#include <gtest/gtest.h>

#include <optional>

namespace tarnwick {
namespace {

using settings::DefaultTemplatePath;
using settings::ExportTypeFromStored;
using settings::StoredExportType;

const std::string kInvalidTemplate =
    "Die gewählte Vorlage ist ungültig. Bitte wählen Sie eine andere oder eine andere Exportoption.";
const std::string kMissingSeparator =
    "Bitte geben Sie ein Listentrennzeichen ein. Diese Zeichen(folge) dient zur Separierung der einzelnen Spalten. "
    "(z.B. Strichpunkt, Tabulator (als \\t eingeben) etc..)";
const std::string kNoElement = "Mindestens ein Exporttyp muss gewählt werden.";

bool nothingExists(const std::string&) { return false; }
bool everythingExists(const std::string&) { return true; }

// The message "OK" shows, or nothing when the dialog may close.
std::optional<std::string> refusalOf(const Expected<void>& accepted)
{
    if (accepted) return std::nullopt;
    EXPECT_EQ(accepted.error().kind, FailureKind::InvalidInput);
    return accepted.error().detail;
}

TEST(ExportDialogLogic, StoredTypeOutsideTheRadioButtonsReadsAsXml)
{
    EXPECT_EQ(ExportTypeFromStored(3), ExportType::Xml);
    EXPECT_EQ(ExportTypeFromStored(-1), ExportType::Xml);
    EXPECT_EQ(ExportTypeFromStored(2), ExportType::Template);
    for (const ExportType type : {ExportType::Xml, ExportType::Csv, ExportType::Template})
        EXPECT_EQ(ExportTypeFromStored(StoredExportType(type)), type);
    const ExportSettings defaults;
    EXPECT_EQ(defaults.type, ExportType::Xml);
    EXPECT_EQ(defaults.elements, ExportElement::Hits);
    EXPECT_EQ(defaults.separator, "; ");
    EXPECT_EQ(DefaultTemplatePath("/opt/tarnwick"), "/opt/tarnwick/vorlage_export.txt");
    EXPECT_EQ(DefaultTemplatePath("/opt/tarnwick/"), "/opt/tarnwick/vorlage_export.txt");
}

TEST(ExportDialogLogic, RadioButtonsEnableTheirFields)
{
    ExportDialogLogic logic({ExportType::Xml, 1, "", "; "});
    auto states = logic.fieldStates();
    EXPECT_FALSE(states.separator || states.templatePath || states.browseTemplate);
    logic.setType(ExportType::Csv);
    states = logic.fieldStates();
    EXPECT_TRUE(states.separator);
    EXPECT_FALSE(states.templatePath || states.browseTemplate);
    logic.setType(ExportType::Template);
    states = logic.fieldStates();
    EXPECT_FALSE(states.separator);
    EXPECT_TRUE(states.templatePath && states.browseTemplate);
}

TEST(ExportDialogLogic, OkChecksInOrder)
{
    // Everything wrong at once: the template is named first.
    ExportDialogLogic logic({ExportType::Template, 0, "/t/v.txt", ""});
    EXPECT_EQ(refusalOf(logic.accept(nothingExists)), kInvalidTemplate);
    EXPECT_EQ(refusalOf(logic.accept(everythingExists)), kNoElement);
    logic.setType(ExportType::Csv);
    EXPECT_EQ(refusalOf(logic.accept(nothingExists)), kMissingSeparator);  // the template no longer matters
    logic.setSeparator(";");
    EXPECT_EQ(refusalOf(logic.accept(nothingExists)), kNoElement);
    logic.setElement(16, true);  // no bit of the four check boxes
    EXPECT_EQ(refusalOf(logic.accept(nothingExists)), kNoElement);
    logic.setElement(ExportElement::DirNames, true);
    EXPECT_EQ(refusalOf(logic.accept(nothingExists)), std::nullopt);
    // An empty separator is refused only for CSV.
    logic.setSeparator("");
    logic.setType(ExportType::Xml);
    EXPECT_EQ(refusalOf(logic.accept(nothingExists)), std::nullopt);
}

TEST(ExportDialogLogic, TemplateCheckUsesTheRealFileByDefault)
{
    test::TempTree tree;
    ExportDialogLogic logic({ExportType::Template, 1, tree.write("v.txt", "x"), ""});
    EXPECT_EQ(refusalOf(logic.accept()), std::nullopt);
    logic.setTemplatePath(tree.mkdir("dir"));
    EXPECT_EQ(refusalOf(logic.accept()), kInvalidTemplate);
    logic.setTemplatePath("");
    EXPECT_EQ(refusalOf(logic.accept()), kInvalidTemplate);
}

TEST(ExportDialogLogic, TabEscapesBecomeTabsOnlyInTheRequest)
{
    EXPECT_EQ(ExpandTabEscapes("\\t"), "\t");
    EXPECT_EQ(ExpandTabEscapes("a\\tb\\t"), "a\tb\t");
    EXPECT_EQ(ExpandTabEscapes("\\\\t"), "\\\t");
    EXPECT_EQ(ExpandTabEscapes("\\"), "\\");
    EXPECT_EQ(ExpandTabEscapes("t\\"), "t\\");

    ExportDialogLogic logic({ExportType::Csv, ExportElement::Hits | ExportElement::FileNames, "/t/v.txt", "\\t|"});
    const ExportRequest request = logic.makeRequest("/out/r.csv");
    EXPECT_EQ(request.targetPath, "/out/r.csv");
    EXPECT_EQ(request.type, ExportType::Csv);
    EXPECT_EQ(request.templatePath, "/t/v.txt");
    EXPECT_EQ(request.separator, "\t|");
    EXPECT_TRUE(request.filter.hits);
    EXPECT_FALSE(request.filter.errors);
    EXPECT_TRUE(request.filter.fileNames);
    EXPECT_FALSE(request.filter.dirNames);
    EXPECT_EQ(logic.settings().separator, "\\t|");  // stored as typed
}

TEST(ExportDialogLogic, SaveDialogByType)
{
    ExportDialogLogic logic({ExportType::Xml, 1, "/opt/tw.d/vorlage.html", ""});
    FileDialogParameters dialog = logic.saveDialog();
    EXPECT_EQ(dialog.filterText, "XML Dateien (*.xml)");
    EXPECT_EQ(dialog.pattern, "*.xml");
    EXPECT_EQ(dialog.defaultExtension, "xml");
    EXPECT_TRUE(dialog.promptOverwrite);
    EXPECT_TRUE(dialog.mustExist);
    EXPECT_EQ(dialog.maxNameLength, 272u);
    EXPECT_EQ(dialog.fileName, "");

    logic.setType(ExportType::Csv);
    dialog = logic.saveDialog();
    EXPECT_EQ(dialog.filterText, "csv Dateien (*.csv)");
    EXPECT_EQ(dialog.pattern, "*.csv");
    EXPECT_EQ(dialog.defaultExtension, "csv");

    logic.setType(ExportType::Template);
    dialog = logic.saveDialog();
    EXPECT_EQ(dialog.filterText, "Alle Dateien (*.*)");
    EXPECT_EQ(dialog.pattern, "*.*");
    EXPECT_EQ(dialog.defaultExtension, "html");
    logic.setTemplatePath("/opt/tw.d/vorlage");  // a dot in a directory is no extension
    EXPECT_EQ(logic.saveDialog().defaultExtension, "");
    logic.setTemplatePath("archiv.tar.gz");
    EXPECT_EQ(logic.saveDialog().defaultExtension, "gz");
}

TEST(ExportDialogLogic, BrowseStartsAtTheCurrentTemplate)
{
    ExportDialogLogic logic({ExportType::Template, 1, "/opt/tarnwick/vorlage_export.txt", ""});
    FileDialogParameters dialog = logic.browseDialog();
    EXPECT_EQ(dialog.filterText, "Alle Dateien (*.*)");
    EXPECT_TRUE(dialog.mustExist);
    EXPECT_EQ(dialog.directory, "/opt/tarnwick");
    EXPECT_EQ(dialog.fileName, "vorlage_export.txt");
    logic.setTemplatePath("/v.txt");
    EXPECT_EQ(logic.browseDialog().directory, "/");
    EXPECT_EQ(logic.browseDialog().fileName, "v.txt");
    logic.setTemplatePath("v.txt");
    EXPECT_EQ(logic.browseDialog().directory, "");
    EXPECT_EQ(logic.browseDialog().fileName, "v.txt");
}

}  // namespace
}  // namespace tarnwick
