// Replacements in legacy .doc files, made by the LibreOffice server and read
// back as LibreOffice reads the result (its text and its HTML export): the
// comments, fields, hyperlinks, bookmarks and formats around a hit stay as
// they were, as the built-in formats keep them. The documents and how they
// were made: documents/README.md. They share the server of the program.
#include <gtest/gtest.h>

#include <dirent.h>
#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <regex>
#include <thread>

#include "engine/documents/WordDocumentEngine.h"
#include "tests/support/OfficeReading.h"
#include "tests/support/ReplaceFixture.h"
#include "tests/support/TempTree.h"
#include "word/libreoffice/DocumentApplication.h"
#include "word/libreoffice/LibreOfficeFormat.h"
#include "word/libreoffice/OfficeExport.h"

namespace tarnwick {
namespace {

using test::ReplaceFixture;
using test::TempTree;

std::string fixture(const std::string& name) { return test::ReadFile(std::string(TARNWICK_OFFICE_DOCUMENTS) + "/" + name); }

struct Replaced {
    std::vector<std::string> errors;  // of the document and of its refused hits
    std::size_t replaced = 0;
};

Replaced replaceAll(const std::string& path, const std::string& text, const std::string& replacement, bool allParts = false)
{
    SearchJob job = test::TestJob();
    job.wordExtensions = "doc";
    job.wordAllParts = allParts;
    ReplaceFixture replace(job, text, replacement);
    WordDocumentEngine engine(word::CreateDocumentApplication);
    replace.run().documents = &engine;
    engine.replaceDocument(replace.run(), path);
    Replaced result;
    const ResultList& results = replace.results();
    for (ItemHandle top = results.FirstTopLevelItem(); top != kNoItem; top = results.NextSibling(top)) {
        if (results.Kind(top) == ItemKind::Error) result.errors.push_back(results.ColumnText(top, ResultColumn::Remark));
        for (ItemHandle item = results.FirstChild(top); item != kNoItem; item = results.NextSibling(item)) {
            if (results.Kind(item) == ItemKind::Error)
                result.errors.push_back(results.ColumnText(item, ResultColumn::Remark));
            else
                ++result.replaced;
        }
    }
    return result;
}

std::u16string officeText(const std::string& path) { return word::OpenLibreOfficeFormat(path)->mainStory().visibleText(); }

// The body of LibreOffice's HTML export, its line breaks (where it wraps
// long lines) read as blanks.
std::string officeHtml(const std::string& path)
{
    std::string html = word::ExportWithLibreOffice(path, "HTML (StarWriter)");
    html = html.substr(html.find("<body"));
    return std::regex_replace(std::regex_replace(html, std::regex("\r?\n"), " "), std::regex("<p [^>]*>"), "<p>");
}

TEST(LegacyDocEdits, CommentsNeitherStopTheSearchNorAreLostByAReplacement)
{
    const TempTree tree;
    const std::string doc = tree.write("comment.doc", fixture("notice-comment.doc"));
    const Replaced replaced = replaceAll(doc, "rechnung", "Beleg");
    EXPECT_TRUE(replaced.errors.empty()) << replaced.errors[0];
    EXPECT_EQ(replaced.replaced, 3u);
    EXPECT_EQ(officeText(doc), u"Mahnung zur Beleg Nr. 7\rDie Beleg vom 3. März ist offen.\rNoch eine Beleg dann Schluss.\r");
    const std::string html = officeHtml(doc);
    EXPECT_NE(html.find("Die Beleg<!-- Rechnung prüfen --> vom 3. März"), std::string::npos) << html;
    EXPECT_NE(html.find("Noch eine Beleg<!-- Notiz --> dann"), std::string::npos) << html;
}

TEST(LegacyDocEdits, ReplacementsInADocThatRecordsChangesAreNotTrackedAndTheSettingStays)
{
    const TempTree tree;
    const std::string doc = tree.write("tracking.doc", fixture("notice-tracking.doc"));
    const Replaced replaced = replaceAll(doc, "rechnung", "Beleg");
    EXPECT_TRUE(replaced.errors.empty()) << replaced.errors[0];
    EXPECT_EQ(replaced.replaced, 3u);
    // A tracked deletion would still read "RechnungBeleg" here.
    EXPECT_EQ(officeText(doc), u"Mahnung zur Beleg Nr. 7\rBeleg eins und Beleg zwei sind offen.\r");
    // The file still records changes, and holds none.
    const std::string rtf = word::ExportWithLibreOffice(doc, "Rich Text Format");
    EXPECT_NE(rtf.find("\\revisions"), std::string::npos);
    EXPECT_EQ(rtf.find("\\deleted"), std::string::npos);
    EXPECT_EQ(rtf.find("\\revised"), std::string::npos);
}

TEST(LegacyDocEdits, HitsBehindAFieldInTheirParagraphAreReplacedAndTheFieldKept)
{
    const TempTree tree;
    const std::string doc = tree.write("fields.doc", fixture("notice-fields.doc"));
    const Replaced replaced = replaceAll(doc, "dann rechnung", "dann Beleg");
    EXPECT_TRUE(replaced.errors.empty()) << replaced.errors[0];
    EXPECT_EQ(replaced.replaced, 1u);
    EXPECT_NE(officeText(doc).find(u"Datum 3/1/24 dann Beleg und Rechnung.\r"), std::u16string::npos);
    EXPECT_NE(officeHtml(doc).find("3/1/24</sdfield></span> dann Beleg und Rechnung.</p>"), std::string::npos);
    // A span that would take the field with it is refused.
    const Replaced field = replaceAll(doc, "datum 3/1/24", "Tag");
    ASSERT_EQ(field.errors.size(), 1u);
    EXPECT_EQ(field.errors[0], "Laufzeitfehler '5010':Der Text enthält ein Feld oder ein Objekt und wird nicht ersetzt.");
}

TEST(LegacyDocEdits, ReplacementsStayInTheirLinkKeepBookmarksAndTakeTheFirstCharactersFormat)
{
    const TempTree tree;
    const std::string doc = tree.write("fields.doc", fixture("notice-fields.doc"));
    const Replaced replaced = replaceAll(doc, "rechnung", "Beleg");
    EXPECT_TRUE(replaced.errors.empty()) << replaced.errors[0];
    EXPECT_EQ(replaced.replaced, 8u);
    EXPECT_EQ(officeText(doc),
              u"Mahnung zur Beleg Nr. 7\rDatum 3/1/24 dann Beleg und Beleg.\rLink Beleg hier und fertig.\r"
              u"Marke Beleg und Beleg.\rFett Beleg und Beleg.\r");
    const std::string html = officeHtml(doc);
    EXPECT_NE(html.find("Link <font color=\"#000080\"><u><a href=\"https://example.org/rechnung\">Beleg hier</a>"),
              std::string::npos)
        << html;
    EXPECT_NE(html.find("<a name=\"Mitte\"></a>"), std::string::npos) << html;
    EXPECT_NE(html.find("<a name=\"Spanne\"></a>"), std::string::npos) << html;
    // "Rech" plain and "nung" bold: plain; "Rech" bold and "nung" plain: bold.
    EXPECT_NE(html.find("<p> Fett Beleg und <b>Beleg</b>.</p>"), std::string::npos) << html;
}

// The soffice process of the server (the child of the starter this program
// started), and that starter's process group.
struct OfficeProcesses {
    pid_t starter = -1;
    pid_t office = -1;
};

// The processes whose parent is `parent`, from /proc as any program sees them.
std::vector<pid_t> childrenOf(pid_t parent)
{
    std::vector<pid_t> children;
    DIR* proc = ::opendir("/proc");
    while (const dirent* entry = proc ? ::readdir(proc) : nullptr) {
        const pid_t pid = static_cast<pid_t>(std::atoi(entry->d_name));
        if (pid > 0 &&
            test::ReadFile("/proc/" + std::string(entry->d_name) + "/status").find("\nPPid:\t" + std::to_string(parent) + "\n") !=
                std::string::npos)
            children.push_back(pid);
    }
    if (proc) ::closedir(proc);
    return children;
}

OfficeProcesses officeProcesses()
{
    OfficeProcesses found;
    for (const pid_t starter : childrenOf(::getpid())) {
        if (::getpgid(starter) != starter) continue;
        for (const pid_t office : childrenOf(starter))
            if (test::ReadFile("/proc/" + std::to_string(office) + "/comm").rfind("soffice.bin", 0) == 0)
                found = {starter, office};
    }
    return found;
}

// The office dies while its starter lives on, as after a crash: the starter
// is held so it cannot notice, which makes the moment where the connection
// is gone but the process is not a lasting one.
void crashOffice()
{
    const OfficeProcesses processes = officeProcesses();
    ASSERT_GT(processes.office, 0);
    ASSERT_EQ(::kill(processes.starter, SIGSTOP), 0);
    ASSERT_EQ(::kill(processes.office, SIGKILL), 0);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (::kill(processes.office, 0) == 0 &&
           test::ReadFile("/proc/" + std::to_string(processes.office) + "/stat").find(") Z ") == std::string::npos &&
           std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
}

// Every kind of header of two page styles, the footer, and a footnote that
// holds a tracked deletion, so that the parts are read from the server's
// text: with every part asked for, each is changed where it lies.
TEST(LegacyDocEdits, EveryHeaderFooterAndNoteIsChangedWhereItLies)
{
    const TempTree tree;
    const std::string doc = tree.write("pages.doc", fixture("notice-pages.doc"));
    const Replaced replaced = replaceAll(doc, "rechnung", "Beleg", true);
    ASSERT_EQ(replaced.errors.size(), 1u);
    EXPECT_NE(replaced.errors[0].find("nachverfolgte Löschung"), std::string::npos) << replaced.errors[0];
    EXPECT_EQ(replaced.replaced, 10u);
    const std::string text = test::OfficeFlatText(doc);
    // Only the deleted words keep the old one.
    EXPECT_EQ(text.find("Rechnung"), text.rfind("Rechnung")) << text;
    EXPECT_NE(text.find("alte Rechnung"), std::string::npos) << text;
    for (const char* part : {"Rechte Seite zur Beleg", "Linke Seite zur Beleg", "Erste Seite zur Beleg", "Anlage zur Beleg",
                             "Fußzeile der Beleg", "Mahnung zur Beleg Nr. 7", "Die Anlage nennt die Beleg", "Die neue Beleg"})
        EXPECT_NE(text.find(part), std::string::npos) << part << "\n" << text;
}

TEST(LegacyDocEdits, AServerLostDuringADocumentFailsOnlyThatDocumentAndTheNextOneGetsANewServer)
{
    const TempTree tree;
    const std::string first = tree.write("first.doc", fixture("notice.doc"));
    const std::string second = tree.write("second.doc", fixture("notice.doc"));
    auto application = word::CreateDocumentApplication();
    word::Document& document = application->GetDocuments().Open(first, false, false, false);
    crashOffice();
    word::Range& story = document.StoryRange(word::kMainTextStory);
    word::FindArguments replace;
    replace.findText = u"Rechnung";
    replace.replaceWith = u"Beleg";
    replace.replace = word::FindReplace::One;
    try {
        story.GetFind().Execute(replace);
        ADD_FAILURE() << "the lost server went unnoticed";
    } catch (const word::ServerError& e) {
        EXPECT_EQ(e.number(), 5033);
        EXPECT_EQ(e.description(),
                  "LibreOffice ist bei diesem Dokument abgestürzt (die Verbindung ist abgebrochen); "
                  "für das nächste Dokument wird es neu gestartet.");
    }
    document.Close(false);
    EXPECT_EQ(replaceAll(second, "rechnung", "Beleg").replaced, 2u);

    // Lost between two documents: the next one is not failed for it.
    crashOffice();
    const Replaced next = replaceAll(second, "beleg", "Rechnung");
    EXPECT_TRUE(next.errors.empty()) << next.errors[0];
    EXPECT_EQ(next.replaced, 2u);
}

}  // namespace
}  // namespace tarnwick
