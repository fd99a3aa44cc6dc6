#include "results/ResultsExport.h"

#include "platform/FileOps.h"
#include "platform/SystemError.h"
#include "results/TemplateFiller.h"
#include "tests/support/TempTree.h"

#include <gtest/gtest.h>

#include <cerrno>

namespace tarnwick {
namespace {

// The values of a replace run over /d.
RunValues replaceRun()
{
    RunValues run;
    run.searchPath = "/d";
    run.searchText = "x";
    run.replacementText = "y";
    run.wasReplaceRun = true;
    run.matchCase = true;
    run.searchContents = true;
    run.searchFileNames = true;
    run.regularExpression = true;
    run.filesSearched = 10;
    run.filesFound = 4;
    run.entriesFound = 6;
    return run;
}

// A list holding every kind of item a run produces.
void fillEveryKind(ResultList& list)
{
    list.AddFileItem("Suche nach x", ItemKind::Info);
    list.AddNoteItem("/d/a.txt", ItemKind::File, 4);
    list.AddHitItem(12, 1, "ab x cd", 3, ItemKind::None, -1);
    const ItemHandle marked = list.AddHitItem(40, 1, "<x> & \"x\" 'x'", 1, ItemKind::None, -1);
    list.SetItemColumnText(marked, "ersetzt", ResultColumn::Remark);
    // A file that became an error after its hits.
    list.AddNoteItem("/d/b.txt", ItemKind::File, 1);
    list.AddHitItem(7, 1, "x", 0, ItemKind::None, -1);
    list.UpdateCurrentFileItem(ResultColumn::Remark, UpdateWhat::TextAndKind, "Fehler beim Ersetzen in dieser Datei.",
                               ItemKind::Error);
    const ItemHandle error = list.AddFileItem("/d/c.txt", ItemKind::Error);
    list.UpdateItem(error, ResultColumn::Remark, UpdateWhat::TextAndKind, "Kann Datei nicht öffnen: Permission denied",
                    ItemKind::Error);
    const ItemHandle fileName = list.AddFileItem("/d/x.txt", ItemKind::FileNameHit);
    list.SetItemColumnText(fileName, "Im Dateinamen gefunden", ResultColumn::Remark);
    const ItemHandle dirName = list.AddFileItem("/d/x", ItemKind::DirNameHit);
    list.SetItemColumnText(dirName, "Im Verzeichnisnamen gefunden", ResultColumn::Remark);
    list.AddFileItem("/d/w.docx", ItemKind::Document);
    list.AddHitItem(5, 1, "Text x", 5, ItemKind::None, -1);
    list.AddFileItem("6 Einträge gefunden", ItemKind::Info);
}

constexpr ExportFilter kEverything{true, true, true, true};

class ResultsExport : public ::testing::Test {
protected:
    void SetUp() override { fillEveryKind(m_list); }

    Expected<void> exportAs(ExportType type, const ExportFilter& filter = kEverything, std::string separator = ";")
    {
        ExportRequest request;
        request.targetPath = m_tree.path("out");
        request.type = type;
        request.templatePath = m_templatePath;
        request.separator = std::move(separator);
        request.filter = filter;
        return ExportResults(request, m_run, m_list);
    }
    std::string output() const { return test::ReadFile(m_tree.path("out")); }

    test::TempTree m_tree;
    ResultList m_list;
    RunValues m_run = replaceRun();
    std::string m_templatePath;
};

TEST_F(ResultsExport, XmlHoldsEveryExportedItemByteExactly)
{
    const Expected<void> outcome = exportAs(ExportType::Xml);
    ASSERT_TRUE(outcome.has_value());
    EXPECT_EQ(output(),
              "<XML>\r\n"
              "<SUCHPFAD>/d</SUCHPFAD>\r\n"
              "<SUCHEN>x</SUCHEN>\r\n"
              "<ERSETZEN>y</ERSETZEN>\r\n"
              "<OPTIONEN grosschreibung=\"1\" dateiinhalt=\"1\" verzname=\"0\" dateinamen=\"1\" ganze_woerter=\"0\" "
              "reg_ausdruck=\"1\" sonderzeichen=\"0\"/>\r\n"
              "<ERGEBNISSE dateien_durchsucht=\"10\" dateien_gefunden=\"4\" eintraege_gefunden=\"6\">\r\n"
              "<DATEI pfad=\"/d/a.txt\" eintraege_gefunden=\"2\">\r\n"
              "<GEFUNDEN pos=\"12\">ab x cd</GEFUNDEN>\r\n"
              "<GEFUNDEN pos=\"40\" fehler=\"ersetzt\">&lt;x&gt; &amp; \"x\" 'x'</GEFUNDEN>\r\n"
              "</DATEI>\r\n"
              "<DATEI pfad=\"/d/b.txt\" eintraege_gefunden=\"1\">\r\n"
              "<GEFUNDEN pos=\"7\">x</GEFUNDEN>\r\n"
              "</DATEI>\r\n"
              "<FEHLER pfad=\"/d/c.txt\" meldung=\"Kann Datei nicht öffnen: Permission denied\"/>\r\n"
              "<DATEINAMEN pfad=\"/d/x.txt\"/>\r\n"
              "<VERZEICHNISNAMEN pfad=\"/d/x\"/>\r\n"
              "<DATEI pfad=\"/d/w.docx\" eintraege_gefunden=\"1\">\r\n"
              "<GEFUNDEN pos=\"5\">Text x</GEFUNDEN>\r\n"
              "</DATEI>\r\n"
              "</ERGEBNISSE>\r\n"
              "</XML>\r\n");
}

TEST_F(ResultsExport, XmlAfterASearchRunWithOnlyErrorsAndEmptyValues)
{
    m_run.wasReplaceRun = false;  // e.g. a replace in marked results: no ERSETZEN
    m_run.searchPath.clear();
    ASSERT_TRUE(exportAs(ExportType::Xml, {false, true, false, false}).has_value());
    // Without the hits flag, the file that became an error is an error.
    EXPECT_EQ(output(),
              "<XML>\r\n"
              "<SUCHPFAD/>\r\n"
              "<SUCHEN>x</SUCHEN>\r\n"
              "<OPTIONEN grosschreibung=\"1\" dateiinhalt=\"1\" verzname=\"0\" dateinamen=\"1\" ganze_woerter=\"0\" "
              "reg_ausdruck=\"1\" sonderzeichen=\"0\"/>\r\n"
              "<ERGEBNISSE dateien_durchsucht=\"10\" dateien_gefunden=\"4\" eintraege_gefunden=\"6\">\r\n"
              "<FEHLER pfad=\"/d/b.txt\" meldung=\"Fehler beim Ersetzen in dieser Datei.\"/>\r\n"
              "<FEHLER pfad=\"/d/c.txt\" meldung=\"Kann Datei nicht öffnen: Permission denied\"/>\r\n"
              "</ERGEBNISSE>\r\n"
              "</XML>\r\n");
}

// A stopped run's export says its results are incomplete, before the counts
// it qualifies; a whole run's export has no such element or text.
TEST_F(ResultsExport, TheRunsNoticeGoesBeforeTheCountsAndIntoItsPlaceholder)
{
    m_run.notice = "Der Lauf wurde gestoppt; die Ergebnisse sind unvollständig.";
    ASSERT_TRUE(exportAs(ExportType::Xml, {false, false, false, false}).has_value());
    EXPECT_EQ(output(),
              "<XML>\r\n"
              "<SUCHPFAD>/d</SUCHPFAD>\r\n"
              "<SUCHEN>x</SUCHEN>\r\n"
              "<ERSETZEN>y</ERSETZEN>\r\n"
              "<OPTIONEN grosschreibung=\"1\" dateiinhalt=\"1\" verzname=\"0\" dateinamen=\"1\" ganze_woerter=\"0\" "
              "reg_ausdruck=\"1\" sonderzeichen=\"0\"/>\r\n"
              "<HINWEIS>Der Lauf wurde gestoppt; die Ergebnisse sind unvollständig.</HINWEIS>\r\n"
              "<ERGEBNISSE dateien_durchsucht=\"10\" dateien_gefunden=\"4\" eintraege_gefunden=\"6\"/>\r\n"
              "</XML>\r\n");
    EXPECT_EQ(FillTemplate("[!HINWEIS!] !EIN_GEF!", m_run, m_list, kEverything),
              "[Der Lauf wurde gestoppt; die Ergebnisse sind unvollständig.] 6");
    m_run.notice.clear();
    EXPECT_EQ(FillTemplate("[!HINWEIS!] !EIN_GEF!", m_run, m_list, kEverything), "[] 6");
}

TEST_F(ResultsExport, CsvWritesFourFieldsPerLine)
{
    const Expected<void> outcome = exportAs(ExportType::Csv);
    EXPECT_TRUE(outcome.has_value());
    EXPECT_EQ(output(),
              "/d/a.txt;12;ab x cd;\r\n"
              "/d/a.txt;40;\"<x> & \"\"x\"\" 'x'\";ersetzt\r\n"  // RFC 4180: quoted, as it holds quotes
              "/d/b.txt;7;x;\r\n"
              "/d/c.txt;;;Kann Datei nicht öffnen: Permission denied\r\n"
              "/d/x.txt;;;Im Dateinamen gefunden\r\n"
              "/d/x;;;Im Verzeichnisnamen gefunden\r\n"
              "/d/w.docx;5;Text x;\r\n");
    ASSERT_TRUE(exportAs(ExportType::Csv, {false, false, true, true}, "\t").has_value());
    EXPECT_EQ(output(), "/d/x.txt\t\t\tIm Dateinamen gefunden\r\n/d/x\t\t\tIm Verzeichnisnamen gefunden\r\n");
}

// Unquoted, the context below made a line of six fields and a second line.
TEST_F(ResultsExport, CsvQuotesOnlyFieldsHoldingTheSeparatorAQuoteOrALineEnd)
{
    m_list.ClearResults();
    m_list.AddNoteItem("/d/a;b.txt", ItemKind::File, 1);
    m_list.AddHitItem(3, 1, "x; \"y\"\tz\r\nw", 0, ItemKind::None, -1);
    m_list.AddHitItem(9, 1, "a\"b", 0, ItemKind::None, -1);
    m_list.AddHitItem(12, 1, "cr\rhere", 0, ItemKind::None, -1);
    const ItemHandle error = m_list.AddFileItem("/d/zeile\nneu", ItemKind::Error);
    m_list.SetItemColumnText(error, "kaputt; \"sehr\"", ResultColumn::Remark);
    ASSERT_TRUE(exportAs(ExportType::Csv, kEverything, "; ").has_value());
    EXPECT_EQ(output(),
              "/d/a;b.txt; 3; \"x; \"\"y\"\"\tz\r\nw\"; \r\n"
              "/d/a;b.txt; 9; \"a\"\"b\"; \r\n"
              "/d/a;b.txt; 12; \"cr\rhere\"; \r\n"
              "\"/d/zeile\nneu\"; ; ; \"kaputt; \"\"sehr\"\"\"\r\n");
    // A tab separator quotes the fields with tabs; the semicolons stay as they are.
    ASSERT_TRUE(exportAs(ExportType::Csv, kEverything, "\t").has_value());
    EXPECT_EQ(output().substr(0, output().find("\r\n/d/a;b.txt\t9")), "/d/a;b.txt\t3\t\"x; \"\"y\"\"\tz\r\nw\"\t");
}

TEST_F(ResultsExport, TemplateFillsGlobalsItemsAndHits)
{
    m_templatePath =
        m_tree.write("vorlage.txt",
                     "P=!SUCHPFAD! S=!SUCHEN! E=!ERSETZEN! O=!GROSS!!DATINHALT!!VERZNAME!!DATNAME!!GANZE_WORTE!!REG!!SONDERZ! "
                     "Z=!DAT_DUR!/!DAT_GEF!/!EIN_GEF!\n"
                     "!LISTE_START![!DATEINAME! (!ANZ_IN_DAT!):!DAT_START! <!POS!|!KONTEXT!|!FEHLER!>!DAT_STOP!]\n!LISTE_STOP!"
                     "Ende !SUCHEN!\n");
    ASSERT_TRUE(exportAs(ExportType::Template).has_value());
    EXPECT_EQ(output(),
              "P=/d S=x E=y O=1101010 Z=10/4/6\n"
              "[/d/a.txt (2): <12|ab x cd|> <40|<x> & \"x\" 'x'|ersetzt>]\n"
              "[/d/b.txt (1): <7|x|>]\n"
              "[/d/c.txt (-): <-|FEHLER|Kann Datei nicht öffnen: Permission denied>]\n"
              "[/d/x.txt (-): <-|DATEINAMEN|Im Dateinamen gefunden>]\n"
              "[/d/x (-): <-|VERZEICHNISNAMEN|Im Verzeichnisnamen gefunden>]\n"
              "[/d/w.docx (1): <5|Text x|>]\n"
              "Ende x\n");
}

TEST_F(ResultsExport, TemplateWithoutHitSectionRepeatsTheItemPerHit)
{
    m_list.ClearResults();
    m_list.AddNoteItem("/d/three.txt", ItemKind::File, 1);
    for (int pos : {1, 2, 3}) m_list.AddHitItem(pos, 1, "c" + std::to_string(pos), 0, ItemKind::None, -1);
    const ItemHandle error = m_list.AddFileItem("/d/e", ItemKind::Error);
    m_list.SetItemColumnText(error, "kaputt", ResultColumn::Remark);
    m_templatePath = m_tree.write("t", "H!LISTE_START!<!DATEINAME!:!POS!:!KONTEXT!:!FEHLER!:!ANZ_IN_DAT!>!LISTE_STOP!T");
    ASSERT_TRUE(exportAs(ExportType::Template).has_value());
    EXPECT_EQ(output(), "H</d/three.txt:1:c1::3></d/three.txt:2:c2::3></d/three.txt:3:c3::3></d/e:-:FEHLER:kaputt:->T");
}

TEST_F(ResultsExport, TemplateWithoutAListSectionGetsOnlyTheGlobals)
{
    for (const char* text : {"A !SUCHEN! !LISTE_STOP! b !LISTE_START! !DATEINAME!", "A !SUCHEN! !LISTE_START! !DATEINAME!",
                             "A !SUCHEN! !DATEINAME! !LISTE_STOP!", "A !SUCHEN! !LISTE_START!LISTE_STOP! !DATEINAME!"}) {
        std::string expected(text);
        expected.replace(2, 8, "x");
        EXPECT_EQ(FillTemplate(text, m_run, m_list, kEverything), expected) << text;
    }
}

// A searched file's context, a path or a search text may hold placeholder
// text; it is exported as it is, never filled in turn.
TEST_F(ResultsExport, TemplateValuesAreNeverFilledAgain)
{
    m_run.searchPath = "/p/!SUCHEN!";
    m_run.replacementText = "y";
    m_run.wasReplaceRun = false;  // "!ERSETZEN!" is replaced anyway
    m_list.ClearResults();
    m_list.AddNoteItem("/d/!KONTEXT!", ItemKind::File, 1);
    m_list.AddHitItem(9, 1, "ctx !POS!", 0, ItemKind::None, -1);
    EXPECT_EQ(FillTemplate("!SUCHPFAD! !ERSETZEN!|!LISTE_START!!DATEINAME!=!KONTEXT!!LISTE_STOP!", m_run, m_list, kEverything),
              "/p/!SUCHEN! y|/d/!KONTEXT!=ctx !POS!");

    // With a hit section, and values that spell the section marks.
    m_run.searchText = "!LISTE_START!";
    m_list.ClearResults();
    m_list.AddNoteItem("/d/!ANZ_IN_DAT!!DAT_STOP!", ItemKind::File, 2);
    const ItemHandle hit = m_list.AddHitItem(3, 1, "a !POS! b !FEHLER!", 0, ItemKind::None, -1);
    m_list.SetItemColumnText(hit, "!DATEINAME!", ResultColumn::Remark);
    m_list.AddHitItem(8, 1, "!LISTE_STOP!", 0, ItemKind::None, -1);
    EXPECT_EQ(FillTemplate("!SUCHEN!:!LISTE_START![!DATEINAME! !ANZ_IN_DAT!:!DAT_START!<!POS! !KONTEXT! !FEHLER!>!DAT_STOP!]"
                           "!LISTE_STOP!.",
                           m_run, m_list, kEverything),
              "!LISTE_START!:[/d/!ANZ_IN_DAT!!DAT_STOP! 2:<3 a !POS! b !FEHLER! !DATEINAME!><8 !LISTE_STOP! >].");
}

TEST_F(ResultsExport, OnlyInfoItemsGiveEmptyLists)
{
    m_list.ClearResults();
    m_list.AddFileItem("Suche nach x", ItemKind::Info);
    m_list.AddFileItem("nichts gefunden", ItemKind::Info);
    m_run.wasReplaceRun = false;
    ASSERT_TRUE(exportAs(ExportType::Xml).has_value());
    EXPECT_NE(output().find("<ERGEBNISSE dateien_durchsucht=\"10\" dateien_gefunden=\"4\" eintraege_gefunden=\"6\"/>\r\n"
                            "</XML>\r\n"),
              std::string::npos);
    ASSERT_TRUE(exportAs(ExportType::Csv).has_value());
    EXPECT_EQ(output(), "");
    m_templatePath = m_tree.write("t", "head!LISTE_START!item!LISTE_STOP!tail");
    ASSERT_TRUE(exportAs(ExportType::Template).has_value());
    EXPECT_EQ(output(), "headtail");
}

TEST_F(ResultsExport, TargetsThatCannotBeCreated)
{
    ExportRequest request;
    request.targetPath = m_tree.path("missing/out");
    request.separator = ";";
    request.filter = kEverything;
    const std::string expected = "Fehler beim Exportieren der Datei " + request.targetPath + ": " + SystemErrorText(ENOENT);

    request.type = ExportType::Csv;
    Expected<void> outcome = ExportResults(request, m_run, m_list);
    EXPECT_FALSE(outcome.has_value());
    EXPECT_EQ(outcome.error().detail, expected);

    request.type = ExportType::Template;
    request.templatePath = m_tree.write("t", "x");
    outcome = ExportResults(request, m_run, m_list);
    EXPECT_FALSE(outcome.has_value());
    EXPECT_EQ(outcome.error().detail, expected);

    request.type = ExportType::Xml;  // no text, but the reason for the front end to word
    outcome = ExportResults(request, m_run, m_list);
    EXPECT_FALSE(outcome.has_value());
    EXPECT_EQ(outcome.error().detail, "");
    EXPECT_EQ(outcome.error().code, ErrnoCode(ENOENT));
}

TEST_F(ResultsExport, UnreadableTemplateGivesTheSystemMessageAndWritesNothing)
{
    m_templatePath = m_tree.path("missing.txt");
    Expected<void> outcome = exportAs(ExportType::Template);
    EXPECT_FALSE(outcome.has_value());
    EXPECT_EQ(outcome.error().detail, SystemErrorText(ENOENT));
    m_templatePath = m_tree.mkdir("dir");
    outcome = exportAs(ExportType::Template);
    EXPECT_EQ(outcome.error().detail, SystemErrorText(EISDIR));
    EXPECT_EQ(test::ReadFile(m_tree.path("out")), "");
}

// Fails every write after the first `allowed` ones with ENOSPC.
class DiskFills : public FileOps {
public:
    explicit DiskFills(int allowed) : m_allowed(allowed) {}
    Expected<std::size_t> pwrite(int fd, const void* data, std::size_t size, off_t offset) override
    {
        if (m_allowed-- <= 0) return systemFailure(ErrnoCode(ENOSPC));
        return FileOps::pwrite(fd, data, size, offset);
    }

private:
    int m_allowed;
};

TEST_F(ResultsExport, XmlWriteFailureIsToldUnlikeACreateFailure)
{
    // Regression: a disk that fills while the document is written must not
    // look like a finished export.
    DiskFills disk(0);
    FileOps::install(&disk);
    const Expected<void> outcome = exportAs(ExportType::Xml);
    FileOps::install(nullptr);
    EXPECT_FALSE(outcome.has_value());
    EXPECT_EQ(outcome.error().detail, "Fehler beim Exportieren der Datei " + m_tree.path("out") + ": " + SystemErrorText(ENOSPC));
}

TEST_F(ResultsExport, CsvWriteFailureStopsAndKeepsWholeLines)
{
    m_list.ClearResults();
    m_list.AddNoteItem("/d/big.txt", ItemKind::File, 1);
    for (int i = 0; i < 20000; ++i) m_list.AddHitItem(i, 1, "some context text " + std::to_string(i), 0, ItemKind::None, -1);
    DiskFills disk(1);
    FileOps::install(&disk);
    const Expected<void> outcome = exportAs(ExportType::Csv);
    FileOps::install(nullptr);
    EXPECT_FALSE(outcome.has_value());
    EXPECT_EQ(outcome.error().detail, "Fehler beim Exportieren der Datei " + m_tree.path("out") + ": " + SystemErrorText(ENOSPC));
    const std::string written = output();
    ASSERT_FALSE(written.empty());
    EXPECT_TRUE(written.starts_with("/d/big.txt;0;some context text 0;\r\n"));
    EXPECT_TRUE(written.ends_with("\r\n"));
    EXPECT_LT(written.size(), 20000u * 30u);
}

}  // namespace
}  // namespace tarnwick
