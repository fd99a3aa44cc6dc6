// Saving the results of a tree whose names and contents no export format
// holds as they are: a name that is not UTF-8, a name with a line feed, a log
// line with colour codes. Every export must still be read as written.
#include "results/XmlDocument.h"
#include "tests/cli/CliProcess.h"
#include "tests/support/TempTree.h"
#include "tests/support/Xmllint.h"

#include <gtest/gtest.h>

#include <set>
#include <string_view>
#include <vector>

namespace tarnwick::test {
namespace {

constexpr std::string_view kColouredLine = "\x1B[31mFEHLER\x1B[0m Platte \x01 voll";

struct UnusualTree {
    TempTree tree;
    std::string dir = tree.mkdir("d");
    std::string foreign = tree.write("d/\xFF\xFE.log", "FEHLER eins\n");
    std::string lineFeed = tree.write("d/zeile\nneu.log", "FEHLER zwei\n");
    std::string coloured = tree.write("d/farbe.log", std::string(kColouredLine) + "\n");
    std::set<std::string> paths{foreign, lineFeed, coloured};
};

// Records as RFC 4180 reads them, with a separator of any length.
std::vector<std::vector<std::string>> parseCsv(std::string_view text, std::string_view separator)
{
    std::vector<std::vector<std::string>> rows;
    std::vector<std::string> row;
    std::size_t i = 0;
    while (i < text.size()) {
        std::string field;
        if (text[i] == '"') {
            for (++i; i < text.size(); ++i) {
                if (text[i] != '"') {
                    field.push_back(text[i]);
                } else if (i + 1 < text.size() && text[i + 1] == '"') {
                    field.push_back('"');
                    ++i;
                } else {
                    ++i;
                    break;
                }
            }
        }
        while (i < text.size() && !text.substr(i).starts_with(separator) && !text.substr(i).starts_with("\r\n"))
            field.push_back(text[i++]);
        row.push_back(field);
        if (text.substr(i).starts_with(separator)) {
            i += separator.size();
        } else {
            rows.push_back(row);
            row.clear();
            i += 2;
        }
    }
    return rows;
}

std::vector<std::string> searchArguments(const UnusualTree& t, const std::string& format, const std::string& out)
{
    return {"search", "-c", "--context", "100", "--export", format, "--out", out, "FEHLER", t.dir};
}

TEST(CliExportUnusualNames, XmlIsWellFormedAndReadsBackEveryNameAndContextExactly)
{
    UnusualTree t;
    const std::string out = t.tree.path("r.xml");
    const CliOutcome run = RunCli(searchArguments(t, "xml", out));
    ASSERT_EQ(run.status, 0) << run.err;
    // The terminal keeps getting the bytes themselves, as grep prints them.
    EXPECT_NE(run.out.find(t.foreign + "; P: 0"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find(kColouredLine), std::string::npos) << run.out;

    CXmlDocument doc;
    ASSERT_TRUE(doc.LoadFromFile(out)) << doc.GetLastError();
    ASSERT_TRUE(doc.FindElement("XML"));
    ASSERT_TRUE(doc.EnterElement());
    ASSERT_TRUE(doc.FindElement("ERGEBNISSE"));
    ASSERT_TRUE(doc.EnterElement());
    std::set<std::string> paths;
    std::set<std::string> contexts;
    do {
        ASSERT_EQ(doc.GetElementName(), "DATEI");
        paths.insert(doc.GetAttribute(doc.CurrentElement(), "pfad"));
        ASSERT_TRUE(doc.FindChildElement("GEFUNDEN"));
        contexts.insert(doc.GetElementText(doc.CurrentChild()));
    } while (doc.FindElement("DATEI"));
    EXPECT_EQ(paths, t.paths);
    EXPECT_EQ(contexts, (std::set<std::string>{"FEHLER eins", "FEHLER zwei", std::string(kColouredLine)}));

    if (!HasXmllint()) GTEST_SKIP() << "xmllint (libxml2-utils) is not installed";
    EXPECT_EQ(XmllintComplaints(out), "");
    // A conforming parser reads the line feed of the name, and the exact bytes
    // of the other name from its companion.
    EXPECT_EQ(XmllintValue(out, "//DATEI[contains(@pfad, 'zeile')]/@pfad"), t.lineFeed);
    EXPECT_EQ(XmllintValue(out, "//DATEI/@pfad_roh"), t.dir + "/\\xFF\\xFE.log");
    EXPECT_EQ(XmllintValue(out, "//GEFUNDEN/@roh"), "\\x1B[31mFEHLER\\x1B[0m Platte \\x01 voll");
}

TEST(CliExportUnusualNames, CsvKeepsOneRecordPerHitWithItsFourFields)
{
    UnusualTree t;
    const std::string out = t.tree.path("r.csv");
    const CliOutcome run = RunCli(searchArguments(t, "csv", out));
    ASSERT_EQ(run.status, 0) << run.err;
    const std::vector<std::vector<std::string>> rows = parseCsv(t.tree.read("r.csv"), "; ");
    ASSERT_EQ(rows.size(), 3u) << t.tree.read("r.csv");
    std::set<std::vector<std::string>> records(rows.begin(), rows.end());
    EXPECT_EQ(records,
              (std::set<std::vector<std::string>>{{t.foreign, "0", "FEHLER eins", ""},
                                                  {t.lineFeed, "0", "FEHLER zwei", ""},
                                                  {t.coloured, "5", std::string(kColouredLine), ""}}));
    // Only the name with the line feed needed quotes.
    EXPECT_NE(t.tree.read("r.csv").find("\"" + t.lineFeed + "\"; 0; FEHLER zwei; \r\n"), std::string::npos);
    EXPECT_NE(t.tree.read("r.csv").find("\r\n" + t.foreign + "; 0; FEHLER eins; \r\n"), std::string::npos);
}

}  // namespace
}  // namespace tarnwick::test
