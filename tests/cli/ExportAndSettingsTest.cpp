// tarnwick-cli saving its results (--export, --out) and rerunning a search
// stored by the desktop program (--settings-file), end to end.
#include "tests/cli/CliProcess.h"
#include "tests/support/TempTree.h"

#include <gtest/gtest.h>

namespace tarnwick::test {
namespace {

// A tree with two content hits in one file and one file-name hit.
struct ExportTree {
    TempTree tree;
    std::string dir = tree.mkdir("d");
    std::string hits = tree.write("d/a.txt", "eins Nadel zwei\nNadel & <x>\n");
    std::string named = tree.write("d/Nadel.txt", "nichts");
};

TEST(CliExport, WritesXmlWithTheChosenElementsByteForByte)
{
    ExportTree t;
    const std::string out = t.tree.path("r.xml");
    const CliOutcome run =
        RunCli({"search", "--file-names", "--out", out, "--export-elements", "hits,filenames", "Nadel", t.dir});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(t.tree.read("r.xml"),
              "<XML>\r\n"
              "<SUCHPFAD>" +
                  t.dir +
                  "</SUCHPFAD>\r\n"
                  "<SUCHEN>nadel</SUCHEN>\r\n"
                  "<OPTIONEN grosschreibung=\"0\" dateiinhalt=\"1\" verzname=\"0\" dateinamen=\"1\" ganze_woerter=\"0\" "
                  "reg_ausdruck=\"0\" sonderzeichen=\"0\"/>\r\n"
                  "<ERGEBNISSE dateien_durchsucht=\"2\" dateien_gefunden=\"2\" eintraege_gefunden=\"2\">\r\n"
                  "<DATEI pfad=\"" +
                  t.hits +
                  "\" eintraege_gefunden=\"2\">\r\n"
                  "<GEFUNDEN pos=\"5\">eins Nadel zwei</GEFUNDEN>\r\n"
                  "<GEFUNDEN pos=\"16\">Nadel &amp; &lt;x&gt;</GEFUNDEN>\r\n"
                  "</DATEI>\r\n"
                  "<DATEINAMEN pfad=\"" +
                  t.named +
                  "\"/>\r\n"
                  "</ERGEBNISSE>\r\n"
                  "</XML>\r\n");
}

TEST(CliExport, WritesCsvAndTemplateAfterAReplaceRun)
{
    ExportTree t;
    const std::string csv = t.tree.path("r.csv");
    CliOutcome run = RunCli({"search", "--export", "csv", "--separator", "\\t", "--out", csv, "Nadel", t.dir});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(t.tree.read("r.csv"), t.hits + "\t5\teins Nadel zwei\t\r\n" + t.hits + "\t16\tNadel & <x>\t\r\n");

    const std::string pattern = t.tree.write("vorlage.txt",
                                             "!SUCHEN! -> !ERSETZEN!\n!LISTE_START![!DATEINAME!: !ANZ_IN_DAT!]\n"
                                             "!DAT_START!  !POS!\n!DAT_STOP!!LISTE_STOP!Ende");
    run = RunCli(
        {"replace", "--no-backup", "--export", "template=" + pattern, "--out", t.tree.path("r.txt"), "Nadel", "Faden", t.dir});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(t.tree.read("r.txt"), "nadel -> Faden\n[" + t.hits + ": 2]\n  5\n  16\nEnde");
}

TEST(CliExport, RefusesUnusableRequestsAndReportsFailedWrites)
{
    ExportTree t;
    CliOutcome run = RunCli({"search", "--export", "csv", "Nadel", t.dir});
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.err, "--export needs --out PATH\n");

    run = RunCli({"search", "--export", "template=" + t.tree.path("fehlt.txt"), "--out", t.tree.path("r"), "Nadel", t.dir});
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.err,
              "Die gewählte Vorlage ist ungültig. Bitte wählen Sie eine andere oder eine andere "
              "Exportoption.\n");
    EXPECT_EQ(run.out, "") << "a refused request must not start the run";

    run = RunCli({"search", "--export", "csv", "--separator", "", "--out", t.tree.path("r"), "Nadel", t.dir});
    EXPECT_EQ(run.status, 2);

    run = RunCli({"search", "--export-elements", "hits,bilder", "--out", t.tree.path("r"), "Nadel", t.dir});
    EXPECT_EQ(run.status, 2);

    // The run itself went well; that nothing was saved must still show.
    const std::string missing = t.tree.path("kein/ordner/r.csv");
    run = RunCli({"search", "--export", "csv", "--out", missing, "Nadel", t.dir});
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.err.rfind("Fehler beim Exportieren der Datei " + missing + ": ", 0), 0u) << run.err;
    run = RunCli({"search", "--out", missing, "Nadel", t.dir});
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.err.find(missing), std::string::npos) << run.err;
}

TEST(CliSettings, RerunsTheStoredSearchAndLetsTheCommandLineOverrideIt)
{
    TempTree tree;
    const std::string inSub = tree.write("d/sub/a.txt", "Nadel\n");
    const std::string other = tree.write("d/b.log", "Nadel\n");
    const std::string conf = tree.write("t.conf",
                                        "[Dialogdaten]\n"
                                        "Suchstring=\"nadel\"\n"
                                        "Ersetzstring=\"Faden\"\n"
                                        "Verz0=\"" +
                                            tree.path("d") +
                                            "\"\n"
                                            "Unterordner durchs=dword:00000001\n"
                                            "Dateitypen=\"#*.TXT;#*.log;\"\n"
                                            "[Optionen]\n"
                                            "Sikop=dword:00000000\n"
                                            "Log verwenden=dword:00000001\n"
                                            "Log Datei=\"" +
                                            tree.path("op.log") + "\"\n");

    CliOutcome run = RunCli({"search", "--settings-file", conf});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out,
              "Suche nach : nadel\n" + inSub +
                  "; P: 0; L: 5; T: Nadel\n"
                  "Suche abgeschlossen. 1 Einträge in 1 Dateien  wurden gefunden.\n");
    EXPECT_EQ(tree.read("op.log"), "") << "only replace runs are logged unless the settings say otherwise";

    run = RunCli({"search", "--settings-file", conf, "-t", "*.log", "NADEL"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out,
              "Suche nach : NADEL\n" + other +
                  "; P: 0; L: 5; T: Nadel\n"
                  "Suche abgeschlossen. 1 Einträge in 1 Dateien  wurden gefunden.\n");

    // The stored replacement, the stored backup choice and the stored log.
    run = RunCli({"replace", "--settings-file", conf});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(tree.read("d/sub/a.txt"), "Faden\n");
    EXPECT_EQ(tree.read("d/sub/a.txt.bak"), "");
    EXPECT_NE(tree.read("op.log").find("Ersetze nadel durch Faden"), std::string::npos) << tree.read("op.log");
}

TEST(CliSettings, AMissingSettingsFileReadsAsDefaults)
{
    TempTree tree;
    tree.write("d/a.txt", "Nadel\n");
    // No stored search text: the run cannot start, as in the desktop program.
    CliOutcome run = RunCli({"search", "--settings-file", tree.path("fehlt.conf")});
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.err, "Kein Suchstring definiert.\n");
    // Default file types are "*.txt;": given text and directory, it searches.
    run = RunCli({"search", "--settings-file", tree.path("fehlt.conf"), "Nadel", tree.path("d")});
    EXPECT_EQ(run.status, 0) << run.err;
}

}  // namespace
}  // namespace tarnwick::test
