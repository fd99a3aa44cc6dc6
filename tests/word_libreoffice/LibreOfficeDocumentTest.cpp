#include <gtest/gtest.h>

#include <dirent.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <regex>
#include <thread>

#include "engine/documents/WordDocumentEngine.h"
#include "engine/walk/SearchWalk.h"
#include "tests/support/ReplaceFixture.h"
#include "tests/support/TempTree.h"
#include "word/libreoffice/DocumentApplication.h"
#include "word/libreoffice/OfficePipes.h"
#include "word/open/FileSniffer.h"

namespace tarnwick {
namespace {

using test::ReplaceFixture;
using test::TempTree;
using test::TestJob;

std::string fixture(const std::string& name) { return test::ReadFile(std::string(TARNWICK_OFFICE_DOCUMENTS) + "/" + name); }

// One server for the whole program: started once by opening a document,
// ended by the application's quit at the end.
class OfficeServer : public ::testing::Environment {
public:
    void SetUp() override
    {
        m_application = word::CreateDocumentApplication();
        const TempTree tree;
        m_application->GetDocuments().Open(tree.write("start.doc", fixture("letter.doc")), false, true, false).Close(false);
    }
    void TearDown() override { m_application->Quit(false); }

private:
    std::unique_ptr<word::Application> m_application;
};

[[maybe_unused]] ::testing::Environment* const g_server = ::testing::AddGlobalTestEnvironment(new OfficeServer);

std::u16string storyText(const std::string& path)
{
    auto application = word::CreateDocumentApplication();
    word::Document& document = application->GetDocuments().Open(path, false, true, false);
    std::u16string text = document.StoryRange(word::kMainTextStory).Text();
    document.Close(false);
    return text;
}

TEST(LibreOfficeDocuments, HitsInADocHaveThePositionsAndContextsOfTheBuiltInComponent)
{
    const TempTree tree;
    const std::string doc = tree.write("letter.doc", fixture("letter.doc"));
    const std::string odt = tree.write("letter.odt", fixture("letter.odt"));
    SearchJob job = TestJob();
    job.wordExtensions = "doc, odt";
    job.contextLength = 10;
    ReplaceFixture search(job, "rechnung", "");
    WordDocumentEngine engine(word::CreateDocumentApplication);
    search.run().documents = &engine;
    engine.searchDocument(search.run(), doc);
    engine.searchDocument(search.run(), odt);

    EXPECT_TRUE(search.errors().empty());
    const auto hits = search.hits();
    ASSERT_EQ(hits.size(), 6u);
    // Heading, body text and a table cell (behind two cell marks and a row mark).
    EXPECT_EQ(hits[0].position, 0);
    EXPECT_EQ(hits[1].position, 59);
    EXPECT_EQ(hits[2].position, 93);
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(hits[i].position, hits[i + 3].position) << i;
        EXPECT_EQ(hits[i].context, hits[i + 3].context) << i;
    }
    EXPECT_EQ(hits[1].context.substr(static_cast<std::size_t>(hits[1].highlightStart), 8), "Rechnung");
}

TEST(LibreOfficeDocuments, ReplaceKeepsAWord97DocWithABackup)
{
    const TempTree tree;
    const std::string doc = tree.write("letter.doc", fixture("letter.doc"));
    SearchJob job = TestJob();
    job.wordExtensions = "doc";
    job.makeBackup = true;
    ReplaceFixture replace(job, "rechnung", "Gutschrift");
    WordDocumentEngine engine(word::CreateDocumentApplication);
    replace.run().documents = &engine;
    engine.replaceDocument(replace.run(), doc);

    EXPECT_TRUE(replace.errors().empty());
    EXPECT_EQ(replace.hits().size(), 3u);
    EXPECT_EQ(tree.read("letter.doc.bak"), fixture("letter.doc"));
    // Still a Word 97 binary document: a compound file with its WordDocument stream.
    EXPECT_EQ(word::SniffDocument(doc), word::DocumentKind::LegacyBinary);
    const std::string bytes = tree.read("letter.doc");
    EXPECT_NE(bytes.find(std::string("W\0o\0r\0d\0D\0o\0c\0u\0m\0e\0n\0t\0", 24)), std::string::npos);
    const std::u16string text = storyText(doc);
    EXPECT_NE(text.find(u"anbei die Gutschrift für März.\r"), std::u16string::npos);
    EXPECT_EQ(text.substr(0, 16), u"Gutschrift Nr. 7");
    EXPECT_EQ(text.find(u"Rechnung"), std::u16string::npos);
}

// A body without tables is read in one piece; a line break must still not
// end its paragraph there.
TEST(LibreOfficeDocuments, ADocWithoutTablesHasTheStoryOfTheBuiltInComponentAndIsReplacedIn)
{
    const TempTree tree;
    for (const std::string name : {"notice", "notice-break"}) {
        const std::u16string doc = storyText(tree.write(name + ".doc", fixture(name + ".doc")));
        EXPECT_EQ(doc, storyText(tree.write(name + ".odt", fixture(name + ".odt")))) << name;
        EXPECT_NE(doc.find(u"Rechnung\tvom 3. März \U0001F642 ist offen.\r"), std::u16string::npos) << name;
    }
    // Its paragraphs are found again for replacing.
    const std::string doc = tree.write("replace.doc", fixture("notice.doc"));
    SearchJob job = TestJob();
    job.wordExtensions = "doc";
    ReplaceFixture replace(job, "rechnung", "Gutschrift");
    WordDocumentEngine engine(word::CreateDocumentApplication);
    replace.run().documents = &engine;
    engine.replaceDocument(replace.run(), doc);
    EXPECT_TRUE(replace.errors().empty());
    EXPECT_NE(storyText(doc).find(u"Mahnung zur Gutschrift Nr. 7\r"), std::u16string::npos);
    EXPECT_NE(storyText(doc).find(u"die Gutschrift\tvom 3. März \U0001F642 ist offen.\r"), std::u16string::npos);
}

// A document with a tracked deletion is read paragraph by paragraph, though
// it has no table, so that the deleted text is found but not replaced, even
// after a replacement before it in its paragraph.
TEST(LibreOfficeDocuments, TextOfATrackedDeletionIsFoundButRefusedAndTheRestReplaced)
{
    const TempTree tree;
    const std::string doc = tree.write("deletion.doc", fixture("notice-deletion.doc"));
    SearchJob job = TestJob();
    job.wordExtensions = "doc";
    ReplaceFixture replace(job, "rechnung", "Gutschrift");
    WordDocumentEngine engine(word::CreateDocumentApplication);
    replace.run().documents = &engine;
    engine.replaceDocument(replace.run(), doc);

    const ResultList& results = replace.results();
    std::vector<std::pair<std::string, std::string>> errors;
    for (ItemHandle item = results.FirstChild(results.FirstTopLevelItem()); item != kNoItem; item = results.NextSibling(item))
        if (results.Kind(item) == ItemKind::Error)
            errors.emplace_back(results.ColumnText(item, ResultColumn::Position), results.ColumnText(item, ResultColumn::Remark));
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0].first, "54");  // behind two longer replacements
    EXPECT_EQ(errors[0].second, "Laufzeitfehler '5010':Der Text ist eine nachverfolgte Löschung und wird nicht ersetzt.");
    EXPECT_EQ(storyText(doc),
              u"Mahnung zur Gutschrift Nr. 7\rdie neue Gutschrift alte Rechnung ersetzt die Gutschrift vom 3. März.\r");
}

// The pipe of the server this process started: its name, and the process
// group to kill it with (found in /proc, as any other program could find it).
struct ServerPipe {
    std::string name;
    std::string installation;  // the URL of its profile
    pid_t group = -1;
};

ServerPipe serverPipe()
{
    constexpr std::string_view kAccept = "--accept=pipe,name=", kProfile = "-env:UserInstallation=";
    ServerPipe found;
    DIR* proc = ::opendir("/proc");
    while (const dirent* entry = proc ? ::readdir(proc) : nullptr) {
        const pid_t pid = static_cast<pid_t>(std::atoi(entry->d_name));
        if (pid <= 0 || ::getpgid(pid) != pid) continue;
        const std::string status = test::ReadFile("/proc/" + std::string(entry->d_name) + "/status");
        if (status.find("\nPPid:\t" + std::to_string(::getpid()) + "\n") == std::string::npos) continue;
        const std::string cmdline = test::ReadFile("/proc/" + std::string(entry->d_name) + "/cmdline");
        const std::size_t at = cmdline.find(kAccept);
        if (at == std::string::npos) continue;
        const std::size_t start = at + kAccept.size(), profile = cmdline.find(kProfile) + kProfile.size();
        found = {cmdline.substr(start, cmdline.find(';', start) - start),
                 cmdline.substr(profile, cmdline.find('\0', profile) - profile), pid};
    }
    if (proc) ::closedir(proc);
    return found;
}

bool isSocket(const std::string& path)
{
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0 && S_ISSOCK(st.st_mode);
}

// Names LibreOffice 7 gave the second pipe of a server started with these profiles.
TEST(LibreOfficePipes, TheSecondPipeIsNamedAsLibreOfficeNamesIt)
{
    EXPECT_EQ(word::SingleInstancePipeName("file:///tmp/lo-probe-8hp6SX"), "SingleOfficeIPC_96f182da81e792d51d6878b7b336e090");
    EXPECT_EQ(word::SingleInstancePipeName("file:///tmp/harden-lo-0"), "SingleOfficeIPC_81711f1bc5f34b1c2f5a5cae8dc2432");
}

// A server killed from outside (as a crash ends it) leaves the sockets of its
// pipes; they go when the server is replaced, and the new one listens on a
// new name nobody could have guessed and taken first.
TEST(LibreOfficeDocuments, PipeNamesAreRandomAndAKilledServerLeavesNoSocket)
{
    const std::regex kRandomName("tarnwick-[0-9a-f]{32}");
    const TempTree tree;
    const std::string doc = tree.write("letter.doc", fixture("letter.doc"));
    storyText(doc);  // the shared server runs
    const ServerPipe first = serverPipe();
    ASSERT_GT(first.group, 0);
    EXPECT_TRUE(std::regex_match(first.name, kRandomName)) << first.name;
    const std::string sockets[] = {word::PipeSocketPath(first.name),
                                   word::PipeSocketPath(word::SingleInstancePipeName(first.installation))};
    for (const std::string& socket : sockets) ASSERT_TRUE(isSocket(socket)) << socket;

    ASSERT_EQ(::killpg(first.group, SIGKILL), 0);
    // Dead once it is a zombie: the server reaps it when next asked.
    const std::string stat = "/proc/" + std::to_string(first.group) + "/stat";
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (test::ReadFile(stat).find(") Z ") == std::string::npos && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));

    // The document being read when the server was lost fails; the server is forgotten.
    try {
        storyText(doc);
    } catch (const word::ServerError&) {
    }
    for (const std::string& socket : sockets) EXPECT_FALSE(isSocket(socket)) << socket;
    EXPECT_NE(storyText(doc).find(u"Rechnung"), std::u16string::npos);  // on a new server
    const ServerPipe second = serverPipe();
    EXPECT_TRUE(std::regex_match(second.name, kRandomName)) << second.name;
    EXPECT_NE(second.name, first.name);
}

// Last: it ends the shared server.
TEST(LibreOfficeDocuments, AMissingOrSilentServerGivesOneErrorItemPerDocument)
{
    const TempTree tree;
    const std::string doc = tree.write("letter.doc", fixture("letter.doc"));
    // A server that never answers is killed after the time limit.
    const std::string silent = tree.write("silent-soffice", "#!/bin/sh\nexec sleep 60\n");
    ASSERT_EQ(::chmod(silent.c_str(), 0755), 0);
    word::CreateDocumentApplication()->Quit(false);

    ReplaceFixture search(TestJob(), "rechnung", "");
    WordDocumentEngine engine(word::CreateDocumentApplication);
    search.run().documents = &engine;
    ::setenv("TARNWICK_SOFFICE", (tree.root() + "/no-such-soffice").c_str(), 1);
    engine.searchDocument(search.run(), doc);
    ::setenv("TARNWICK_SOFFICE", silent.c_str(), 1);
    ::setenv("TARNWICK_SOFFICE_TIMEOUT", "1", 1);
    engine.searchDocument(search.run(), doc);
    ::unsetenv("TARNWICK_SOFFICE");
    ::unsetenv("TARNWICK_SOFFICE_TIMEOUT");

    const auto errors = search.errors();
    ASSERT_EQ(errors.size(), 2u);
    EXPECT_EQ(errors[0].second,
              "Laufzeitfehler '5030':Für dieses Dokumentformat wird LibreOffice benötigt, es ist aber nicht installiert "
              "(Programm soffice nicht gefunden; Paket libreoffice-writer-nogui).");
    EXPECT_EQ(errors[1].second, "Laufzeitfehler '5031':LibreOffice hat nicht innerhalb von 1 s geantwortet und wurde beendet.");
    EXPECT_TRUE(search.hits().empty());
}

}  // namespace
}  // namespace tarnwick
