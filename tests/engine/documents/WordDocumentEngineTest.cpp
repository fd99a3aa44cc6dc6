#include "engine/documents/WordDocumentEngine.h"

#include "engine/replace/ReplaceSelected.h"
#include "engine/undo/RunJournal.h"
#include "engine/walk/SearchWalk.h"
#include "engine/worker/RunSearch.h"
#include "tests/support/ReplaceFixture.h"
#include "tests/support/TempTree.h"

#include <gtest/gtest.h>

#include <map>

namespace tarnwick::test {
namespace {

// An in-memory document server: each path holds one main text; Find looks
// for the text literally (ASCII case folding is enough here).
struct FakeServer {
    std::map<std::string, std::u16string> files;  // what is "on disk"
    int saves = 0;
    int opens = 0;
    bool failOpen = false;
    bool failQuit = false;
};

FakeServer* g_server = nullptr;

class FakeDocument;

class FakeRange final : public word::Range, public word::Find {
public:
    explicit FakeRange(FakeDocument& document) : m_document(document) {}
    word::Find& GetFind() override { return *this; }
    std::int64_t Start() const override { return m_start; }
    std::int64_t End() const override { return m_end; }
    void SetStart(std::int64_t p) override;
    void SetEnd(std::int64_t p) override;
    std::u16string Text() const override;
    void ClearFormatting() override {}
    bool Execute(const word::FindArguments& arguments) override;

    std::int64_t m_start = 0;
    std::int64_t m_end = 0;
    bool m_afterHit = false;

private:
    FakeDocument& m_document;
};

class FakeDocument final : public word::Document {
public:
    FakeDocument(std::string path, std::u16string text) : path(std::move(path)), text(std::move(text)), range(*this)
    {
        range.m_end = static_cast<std::int64_t>(this->text.size());
    }
    word::Range& StoryRange(int) override { return range; }
    std::string FullName() const override { return path; }
    void Activate() override {}
    void Save() override
    {
        g_server->files[path] = text;
        ++g_server->saves;
    }
    void Close(bool) override { closed = true; }

    std::string path;
    std::u16string text;
    FakeRange range;
    bool closed = false;
};

void FakeRange::SetStart(std::int64_t p)
{
    m_start = std::clamp<std::int64_t>(p, 0, static_cast<std::int64_t>(m_document.text.size()));
    m_end = std::max(m_end, m_start);
    m_afterHit = false;
}
void FakeRange::SetEnd(std::int64_t p)
{
    m_end = std::clamp<std::int64_t>(p, 0, static_cast<std::int64_t>(m_document.text.size()));
    m_start = std::min(m_start, m_end);
    m_afterHit = false;
}
std::u16string FakeRange::Text() const
{
    return m_document.text.substr(static_cast<std::size_t>(m_start), static_cast<std::size_t>(m_end - m_start));
}

std::u16string folded(std::u16string s)
{
    for (char16_t& c : s)
        if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c + 32);
    return s;
}

bool FakeRange::Execute(const word::FindArguments& arguments)
{
    const std::int64_t from = m_afterHit ? m_end : m_start;
    const std::u16string hay = arguments.matchCase ? m_document.text : folded(m_document.text);
    const std::u16string needle = arguments.matchCase ? arguments.findText : folded(arguments.findText);
    const auto at = hay.find(needle, static_cast<std::size_t>(from));
    if (at == std::u16string::npos) return false;
    m_start = static_cast<std::int64_t>(at);
    m_end = m_start + static_cast<std::int64_t>(needle.size());
    if (arguments.replace == word::FindReplace::One) {
        m_document.text.replace(at, needle.size(), arguments.replaceWith);
        m_end = m_start + static_cast<std::int64_t>(arguments.replaceWith.size());
    }
    m_afterHit = true;
    return true;
}

class FakeSelection final : public word::Selection {
public:
    FakeDocument* document = nullptr;
    std::int64_t start = 0, end = 0;
    std::int64_t Start() const override { return start; }
    std::int64_t End() const override { return end; }
    void SetStart(std::int64_t p) override { start = p; }
    void SetEnd(std::int64_t p) override { end = p; }
    std::u16string Text() const override
    {
        return document->text.substr(static_cast<std::size_t>(start), static_cast<std::size_t>(end - start));
    }
    void SetText(const std::u16string& text) override
    {
        document->text.replace(static_cast<std::size_t>(start), static_cast<std::size_t>(end - start), text);
        end = start + static_cast<std::int64_t>(text.size());
    }
};

class FakeApplication final : public word::Application, public word::Documents {
public:
    word::Documents& GetDocuments() override { return *this; }
    word::Selection& GetSelection() override { return selection; }
    void SetScreenUpdating(bool) override {}
    void Quit(bool) override
    {
        if (g_server->failQuit) throw word::ServerError(0x1234A, "busy");
    }
    void Windows() override {}
    word::Document& ActiveDocument() override { return *documents.back(); }
    void SetVisible(bool) override {}
    word::Document& Open(const std::string& path, bool, bool, bool) override
    {
        if (g_server->failOpen) throw word::ServerError(5151, "kaputt");
        ++g_server->opens;
        documents.push_back(std::make_unique<FakeDocument>(path, g_server->files.at(path)));
        selection.document = documents.back().get();
        return *documents.back();
    }
    std::vector<std::unique_ptr<FakeDocument>> documents;
    FakeSelection selection;
};

std::unique_ptr<word::Application> makeFake() { return std::make_unique<FakeApplication>(); }
std::unique_ptr<word::Application> makeNothing() { throw word::AutomationError(2, "not installed"); }

class WordDocuments : public ::testing::Test {
protected:
    void SetUp() override { g_server = &server; }
    void TearDown() override { g_server = nullptr; }

    // A search over one document "<tree>/a.docx" holding `text`.
    std::string document(const std::u16string& text)
    {
        const std::string path = tree.write("a.docx", "placeholder bytes on disk");
        server.files[path] = text;
        return path;
    }

    FakeServer server;
    TempTree tree;
};

TEST_F(WordDocuments, SearchListsHitsWithCharacterPositionsAndContexts)
{
    const std::string path = document(u"Erste Zeile\rZweite Zeile mit Zeile\rZeile am Anfang\r");
    SearchJob job = TestJob();
    job.contextLength = 5;
    ReplaceFixture fixture(job, "zeile", "");
    WordDocumentEngine engine(makeFake);
    fixture.run().documents = &engine;
    RunSearch(fixture.run(), tree.root());

    ASSERT_EQ(fixture.topLevel(ItemKind::Document), std::vector<std::string>{path});
    const auto hits = fixture.hits();
    ASSERT_EQ(hits.size(), 4u);
    EXPECT_EQ(hits[0].position, 6);
    EXPECT_EQ(hits[1].position, 19);
    EXPECT_EQ(hits[2].position, 29);
    // At the start of a paragraph other than the first: no "..." in front.
    EXPECT_EQ(hits[3].context, "Zeile am A...");
    EXPECT_EQ(hits[3].highlightStart, 0);
    // No line end within the context before the hit: "..." in front; the
    // context ends at the paragraph mark, or with "..." when it is farther.
    EXPECT_EQ(hits[0].context, "...rste Zeile");
    EXPECT_EQ(hits[0].highlightStart, 8);
    EXPECT_EQ(hits[1].context, "...eite Zeile mit ...");
    EXPECT_EQ(hits[1].highlightStart, 8);
    EXPECT_EQ(fixture.counters().hits.load(), 4);
    EXPECT_EQ(fixture.counters().files.load(), 1);
    EXPECT_NE(fixture.runLog().text().find("Mit Word: " + path + "; P: 6; L: 5; T: ...rste Zeile\r\n"), std::string::npos);
}

TEST_F(WordDocuments, ReplaceSavesOnceAfterABackupAndGoesOnBehindEachReplacement)
{
    const std::string path = document(u"ab ab\r");
    SearchJob job = TestJob();
    ReplaceFixture fixture(job, "ab", "abab");
    WordDocumentEngine engine(makeFake);
    fixture.run().documents = &engine;
    engine.replaceDocument(fixture.run(), path);

    EXPECT_EQ(server.files[path], u"abab abab\r");
    EXPECT_EQ(server.saves, 1);
    EXPECT_EQ(fixture.counters().hits.load(), 2);
    EXPECT_EQ(fixture.counters().files.load(), 1);
    EXPECT_EQ(tree.read("a.docx.bak"), "placeholder bytes on disk");
    const auto hits = fixture.hits();
    ASSERT_EQ(hits.size(), 2u);
    EXPECT_EQ(hits[1].position, 5);
}

TEST_F(WordDocuments, FailuresBecomeErrorItemsAndTheRunGoesOn)
{
    const std::string path = document(u"text\r");
    ReplaceFixture fixture(TestJob(), "text", "");
    WordDocumentEngine missing(makeNothing);
    fixture.run().documents = &missing;
    missing.searchDocument(fixture.run(), path);
    missing.searchDocument(fixture.run(), path);
    // Every document tries again, and says so.
    EXPECT_EQ(fixture.topLevel(ItemKind::Error).size(), 2u);
    EXPECT_EQ(fixture.topLevel(ItemKind::Error)[0], "MS Word kann nicht initialisiert werden: " + path);

    ReplaceFixture second(TestJob(), "text", "");
    WordDocumentEngine engine(makeFake);
    server.failOpen = true;
    engine.searchDocument(second.run(), path);
    ASSERT_EQ(second.errors().size(), 1u);
    EXPECT_EQ(second.errors()[0].second, "Laufzeitfehler '5151':kaputt");
    EXPECT_EQ(second.runLog().text(), "Laufzeitfehler '5151':kaputt: " + path + "\r\n");

    server.failQuit = true;
    const auto [title, message] = engine.quit();
    EXPECT_EQ(title, "Server Error");
    EXPECT_EQ(message, "Laufzeitfehler '9034':busy");  // the low 16 bits of the number
}

TEST_F(WordDocuments, MarkedReplaceChecksTheTextShiftsLaterHitsAndSavesOnMovingOn)
{
    const std::string path = document(u"abc 1234567 abc 89 abc\r");
    SearchJob job = TestJob();
    ReplaceFixture fixture(job, "abc", "");
    WordDocumentEngine engine(makeFake);
    fixture.run().documents = &engine;
    RunSearch(fixture.run(), tree.root());
    ASSERT_EQ(fixture.hits().size(), 3u);
    for (ItemHandle item = fixture.results().FirstChild(fixture.results().FirstTopLevelItem()); item != kNoItem;
         item = fixture.results().NextSibling(item))
        fixture.results().SetChecked(item, true);
    // Someone changed the last occurrence after the search.
    server.files[path] = u"abc 1234567 abc 89 xyz\r";

    fixture.setReplacement("Q");
    // The saved document's previous contents go to the undo journal first.
    RunJournal journal(tree.path("undo"), RunKind::SelectedReplace);
    fixture.run().journal = &journal;
    EXPECT_TRUE(ReplaceSelected(fixture.run()));
    journal.close();
    EXPECT_EQ(server.files[path], u"Q 1234567 Q 89 xyz\r");
    const std::vector<JournalInfo> journals = ListJournals(tree.path("undo"));
    ASSERT_EQ(journals.size(), 1u);
    EXPECT_EQ(journals[0].fileCount(), 1u);
    const ItemHandle first = fixture.results().FirstChild(fixture.results().FirstTopLevelItem());
    const ItemHandle second = fixture.results().NextSibling(first);
    const ItemHandle third = fixture.results().NextSibling(second);
    EXPECT_EQ(fixture.results().Kind(first), ItemKind::DocumentReplaced);
    EXPECT_EQ(fixture.results().ColumnText(second, ResultColumn::Position), "10");
    EXPECT_EQ(fixture.results().Kind(third), ItemKind::Error);
    EXPECT_EQ(fixture.results().ColumnText(third, ResultColumn::Position), "15");
    EXPECT_EQ(server.saves, 1);
}

}  // namespace
}  // namespace tarnwick::test
