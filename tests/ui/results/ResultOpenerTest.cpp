// Opening a result in the viewer or the word processor, over real result
// lists: built by hand for the item kinds, and left by real searches for
// the units of positions and lengths.
#include "ui/results/ResultOpener.h"

#include <gtest/gtest.h>

#include <QString>
#include <cstdlib>

#include "engine/content/ContentSearch.h"
#include "engine/documents/WordDocumentEngine.h"
#include "platform/CodePage.h"
#include "tests/support/RunFixture.h"
#include "tests/support/TempTree.h"
#include "tests/ui/support/DocumentFiles.h"
#include "tests/ui/support/FakeViewer.h"
#include "ui/results/ResultTarget.h"
#include "ui/searchform/SearchFormController.h"
#include "ui/viewer/ViewerWordConnection.h"
#include "word/automation/Automation.h"

namespace tarnwick::ui {
namespace {

using test::FakeViewer;
using ResultRequest = test::ViewerResultRequest;

struct WordRequest {
    std::string path;
    std::optional<std::int64_t> position;
    std::int64_t length = 0;
    word::StoryId story;
};

class FakeHost : public ResultOpenerHost {
public:
    RunKind lastRunKind() const override { return runKind; }
    std::string workerReplacement() const override { return replacement; }
    std::int64_t splitLength() const override { return 1234; }
    ViewerAccess* viewer() override { return hasViewer ? &fakeViewer : nullptr; }
    void showPreviewPage() override { ++previewShown; }
    bool showInOffice(const std::string& path, word::StoryId story, std::optional<std::int64_t> position,
                      std::int64_t length) override
    {
        officeRequests.push_back({path, position, length, story});
        return writerShows;
    }
    WordShowOutcome showInWord(const std::string& path, word::StoryId story, std::optional<std::int64_t> position,
                               std::int64_t length) override
    {
        wordRequests.push_back({path, position, length, story});
        if (connection) return connection->show(path, position, length, story);
        return wordOutcome;
    }
    void showMessage(std::string_view text) override { messages.emplace_back(text); }
    bool showPdfPage(const std::string& path, int page) override
    {
        pdfRequests.emplace_back(path, page);
        return pdfShows;
    }

    bool pdfShows = false;
    std::vector<std::pair<std::string, int>> pdfRequests;
    RunKind runKind = RunKind::Search;
    bool writerShows = false;
    std::string replacement;
    bool hasViewer = true;
    FakeViewer fakeViewer;
    int previewShown = 0;
    WordShowOutcome wordOutcome = WordShowOutcome::Shown;
    ViewerWordConnection* connection = nullptr;
    std::vector<WordRequest> wordRequests;
    std::vector<WordRequest> officeRequests;
    std::vector<std::string> messages;
};

// What the document window is given to show.
struct RecordingDisplay : DocumentDisplay {
    void showDocument(const ShownDocument& document) override { shown = document; }
    void hideDocument() override {}
    std::u16string selected() const { return shown.text.substr(shown.selectionStart, shown.selectionEnd - shown.selectionStart); }
    ShownDocument shown;
};

// The search form's connection to the built-in component, showing what the
// host is asked to show in the document window.
struct DocumentWindowStandIn {
    explicit DocumentWindowStandIn(FakeHost& host) { host.connection = &connection; }
    RecordingDisplay display;
    ViewerWordConnection connection{word::CreateFileApplication, &display};
};

// The item a search of the document at `path` with the built-in component
// leads to in the fixture's results.
ItemHandle SearchDocument(test::RunFixture& fixture, const std::string& path)
{
    WordDocumentEngine engine(word::CreateFileApplication);
    engine.searchDocument(fixture.run(), path);
    return fixture.results().FirstTopLevelItem();
}

// A search result with an item of every kind; the files exist.
struct Results {
    explicit Results(const test::TempTree& tree)
    {
        header = list.AddFileItem("Suche nach x", ItemKind::Info);
        file = list.AddNoteItem(tree.write("a.txt", "ab x x"), ItemKind::File, 1);
        hit = list.AddHitItem(3, 1, "ab x x", 3, ItemKind::None, 1);
        secondHit = list.AddHitItem(5, 1, "ab x x", 5, ItemKind::None, 1);
        utf8File = list.AddNoteItem(tree.write("u.txt",
                                               "\xEF\xBB\xBFgr\xC3\xBC\xC3\x9F"
                                               "e"),
                                    ItemKind::File, 4);
        utf8Hit = list.AddHitItem(3, 7, "grüße", 0, ItemKind::None, 5);
        nameHit = list.AddFileItem(tree.write("x.txt", ""), ItemKind::FileNameHit);
        dirHit = list.AddFileItem(tree.mkdir("xdir"), ItemKind::DirNameHit);
        error = list.AddFileItem(tree.path("a.txt"), ItemKind::Error);
        document = list.AddFileItem(tree.write("d.docx", "not opened here"), ItemKind::Document);
        docHit = list.AddHitItem(7, 5, "Größe", 0, ItemKind::None, 7);
        gone = list.AddNoteItem(tree.path("gone.txt"), ItemKind::File, 1);
        goneHit = list.AddHitItem(0, 1, "x", 0, ItemKind::None, 1);
        summary = list.AddFileItem("Suche abgeschlossen.", ItemKind::Info);
    }
    ResultList list;
    ItemHandle header, file, hit, secondHit, utf8File, utf8Hit, nameHit, dirHit, error, document, docHit, gone, goneHit, summary;
};

class ResultOpenerTest : public ::testing::Test {
protected:
    test::TempTree tree;
    Results results{tree};
    FakeHost host;
    ResultOpener opener{results.list, test::RunFixture::utF8(), host};
};

TEST_F(ResultOpenerTest, ItemsLeadToTheirFilesOrNowhere)
{
    const ResultList& list = results.list;
    const auto hit = ResultTargetOf(list, results.hit);
    ASSERT_TRUE(hit);
    EXPECT_EQ(hit->path, tree.path("a.txt"));
    EXPECT_EQ(hit->position, 3);
    EXPECT_EQ(hit->matchLength, 1);
    EXPECT_EQ(hit->ownKind, ItemKind::File);

    const auto file = ResultTargetOf(list, results.file);
    ASSERT_TRUE(file);
    EXPECT_EQ(file->path, tree.path("a.txt"));
    EXPECT_FALSE(file->position);

    const auto docHit = ResultTargetOf(list, results.docHit);
    ASSERT_TRUE(docHit);
    EXPECT_EQ(docHit->fileKind, ItemKind::Document);

    for (ItemHandle none : {results.header, results.nameHit, results.dirHit, results.error, results.summary, kNoItem})
        EXPECT_FALSE(ResultTargetOf(list, none)) << none;

    // A hit whose position column was emptied opens its file without a selection.
    results.list.SetItemColumnText(results.secondHit, "", ResultColumn::Position);
    const auto blank = ResultTargetOf(list, results.secondHit);
    ASSERT_TRUE(blank);
    EXPECT_FALSE(blank->position);
}

TEST_F(ResultOpenerTest, AHitOpensInTheViewerSelectedAndThePreviewComesToTheFront)
{
    opener.open(results.hit);
    ASSERT_EQ(host.fakeViewer.requests.size(), 1u);
    const ResultRequest& request = host.fakeViewer.requests[0];
    EXPECT_EQ(request.path, tree.path("a.txt"));
    EXPECT_EQ(request.start, 3);
    EXPECT_EQ(request.length, 1);
    EXPECT_EQ(request.splitLength, 1234);
    EXPECT_EQ(host.previewShown, 1);

    // A file item opens without a selection; a refusing viewer still gets the page shown.
    host.fakeViewer.accepts = false;
    opener.open(results.file);
    EXPECT_EQ(host.fakeViewer.requests.back().start, -1);
    EXPECT_EQ(host.fakeViewer.requests.back().length, 0);
    EXPECT_EQ(host.previewShown, 2);
}

TEST_F(ResultOpenerTest, NothingHappensForGoneFilesItemsWithoutAFileOrWithoutAViewer)
{
    for (ItemHandle item : {results.goneHit, results.gone, results.nameHit, results.dirHit, results.header}) opener.open(item);
    host.hasViewer = false;
    opener.open(results.hit);
    EXPECT_TRUE(host.fakeViewer.requests.empty());
    EXPECT_TRUE(host.wordRequests.empty());
    EXPECT_EQ(host.previewShown, 0);
    EXPECT_TRUE(host.messages.empty());
}

// A hit found inside an archive opens its inner file from memory, with the
// hit as found even after a replace run (nothing inside is replaced); a PDF
// page goes to the PDF viewer first and to the viewer when that declines.
TEST_F(ResultOpenerTest, AHitInsideAnArchiveOrAPdfOpensFromMemory)
{
    tree.write("pack/in.txt", "some needle\n");
    ASSERT_EQ(std::system(("cd '" + tree.path("pack") + "' && zip -q ../z.zip in.txt").c_str()), 0);
    results.list.AddNoteItem(tree.path("z.zip") + " » in.txt", ItemKind::File, 1);
    const ItemHandle innerHit = results.list.AddHitItem(5, 6, "some needle", 5, ItemKind::None, 6);
    results.list.AddNoteItem(tree.write("r.pdf", "not really a PDF"), ItemKind::File, 1);
    results.list.AddNoteItem(tree.path("r.pdf") + " » Seite 2", ItemKind::File, 1);
    const ItemHandle pageHit = results.list.AddHitItem(3, 2, "ab cd", 3, ItemKind::None, 2);
    host.runKind = RunKind::Replace;
    host.replacement = "longer replacement";

    opener.open(innerHit);
    ASSERT_EQ(host.fakeViewer.requests.size(), 1u);
    EXPECT_EQ(host.fakeViewer.requests[0].path, tree.path("z.zip") + " » in.txt");
    EXPECT_EQ(host.fakeViewer.requests[0].start, 5);
    EXPECT_EQ(host.fakeViewer.requests[0].length, 6);
    ASSERT_TRUE(host.fakeViewer.innerReads[0].bytes);
    EXPECT_EQ(host.fakeViewer.innerReads[0].bytes->toStdString(), "some needle\n");
    EXPECT_FALSE(host.fakeViewer.innerReads[0].isPageText);
    EXPECT_EQ(host.previewShown, 1);
    EXPECT_TRUE(host.pdfRequests.empty());

    opener.open(pageHit);
    EXPECT_EQ(host.pdfRequests, (std::vector<std::pair<std::string, int>>{{tree.path("r.pdf"), 2}}));
    ASSERT_EQ(host.fakeViewer.requests.size(), 2u);
    EXPECT_FALSE(host.fakeViewer.innerReads[1].bytes);  // no PDF in truth: the viewer's message says why
    EXPECT_NE(host.fakeViewer.innerReads[1].error.toStdString().find("r.pdf » Seite 2"), std::string::npos);

    host.pdfShows = true;
    opener.open(pageHit);
    EXPECT_EQ(host.fakeViewer.requests.size(), 2u);
    EXPECT_EQ(host.previewShown, 2);
}

TEST_F(ResultOpenerTest, AfterAReplaceWhatTheReplacementLeftIsSelected)
{
    host.replacement = "Grüße";  // 7 bytes of the code page, 5 UTF-16 units
    host.runKind = RunKind::Replace;
    opener.open(results.hit);
    EXPECT_EQ(host.fakeViewer.requests.back().length, 7);
    opener.open(results.docHit);
    EXPECT_EQ(host.wordRequests.back().length, 5);

    // After a search only the hits a marked replace changed take its length.
    host.runKind = RunKind::Search;
    results.list.UpdateItem(results.hit, ResultColumn::FileOrContext, UpdateWhat::Kind, {}, ItemKind::Replaced);
    opener.open(results.hit);
    EXPECT_EQ(host.fakeViewer.requests.back().length, 7);
    opener.open(results.secondHit);
    EXPECT_EQ(host.fakeViewer.requests.back().length, 1);
    opener.open(results.docHit);
    EXPECT_EQ(host.wordRequests.back().length, 5) << "the document hit's own length";
    results.list.UpdateItem(results.docHit, ResultColumn::FileOrContext, UpdateWhat::Kind, {}, ItemKind::DocumentReplaced);
    host.replacement = "x";
    opener.open(results.docHit);
    EXPECT_EQ(host.wordRequests.back().length, 1);
}

TEST_F(ResultOpenerTest, ReplacementsInUtf8FilesCountTheirUtf8Bytes)
{
    CodePage latin1("ISO-8859-1");
    ResultTarget target;
    target.encoding = Encoding::Utf8;
    target.matchLength = 6;
    target.ownKind = ItemKind::Replaced;
    EXPECT_EQ(SelectionLength(target, RunKind::Search,
                              "gr\xFC\xDF"
                              "e",
                              latin1),
              7);
    target.encoding = Encoding::Ansi;
    EXPECT_EQ(SelectionLength(target, RunKind::Search,
                              "gr\xFC\xDF"
                              "e",
                              latin1),
              5);
}

// The search reports byte offsets of the file and the hit's length in the
// file's bytes; the highlight length counts characters of the code page.
TEST_F(ResultOpenerTest, AHitInAUtf8FileIsSelectedByItsBytes)
{
    const std::string text = "\xEF\xBB\xBFViele Gr\xC3\xBC\xC3\x9F"
                             "e aus K\xC3\xB6ln";
    const std::string path = tree.write("brief.txt", text);
    CodePage latin1("ISO-8859-1");
    test::RunFixture fixture(test::TestJob(),
                             "gr\xFC\xDF"
                             "e",
                             latin1);
    EXPECT_TRUE(SearchFileContents(fixture.run(), path));
    ResultList& list = fixture.results();
    const ItemHandle fileItem = list.FirstTopLevelItem();
    ASSERT_NE(fileItem, kNoItem);
    ASSERT_EQ(list.Data(fileItem).first, 4);
    const ItemHandle hit = list.FirstChild(fileItem);
    ASSERT_NE(hit, kNoItem);

    ResultOpener utf8Opener(list, latin1, host);
    utf8Opener.open(hit);
    ASSERT_EQ(host.fakeViewer.requests.size(), 1u);
    const ResultRequest& request = host.fakeViewer.requests[0];
    EXPECT_EQ(text.substr(static_cast<std::size_t>(request.start), static_cast<std::size_t>(request.length)),
              "Gr\xC3\xBC\xC3\x9F"
              "e");
}

TEST_F(ResultOpenerTest, ADocumentHitIsSelectedInTheWordProcessor)
{
    const std::string docx = test::WriteDocxParagraphs(tree, "bericht.docx", {"Die Größe zählt.", "Größe!"});
    test::RunFixture fixture(test::TestJob(), "größe");
    ResultList& list = fixture.results();
    const ItemHandle document = SearchDocument(fixture, docx);
    ASSERT_EQ(list.Kind(document), ItemKind::Document);

    DocumentWindowStandIn window(host);
    const RecordingDisplay& display = window.display;
    ResultOpener documentOpener(list, test::RunFixture::utF8(), host);
    const ItemHandle second = list.NextSibling(list.FirstChild(document));
    ASSERT_NE(second, kNoItem);
    documentOpener.open(second);
    ASSERT_EQ(host.messages.size(), 0u);
    EXPECT_EQ(display.shown.text.substr(display.shown.selectionStart, display.shown.selectionEnd - display.shown.selectionStart),
              u"Größe");
    EXPECT_EQ(display.shown.selectionStart, 17u);
    EXPECT_TRUE(host.fakeViewer.requests.empty());
    EXPECT_EQ(host.previewShown, 0);

    // The document item itself opens without touching the selection.
    documentOpener.open(document);
    EXPECT_FALSE(host.wordRequests.back().position);
}

// With every part searched, a hit in a header, a note, a comment, a text box
// or a footer goes to Writer with its part; without Writer it opens in the
// document window with exactly its text selected in its part.
TEST_F(ResultOpenerTest, AHitInAnyPartOfADocumentIsSelectedInItsPart)
{
    const std::string docx = tree.write("parts.docx", test::ReadFile(std::string(TARNWICK_FIXTURE_DOCUMENTS) + "/parts.docx"));
    SearchJob job = test::TestJob();
    job.wordAllParts = true;
    test::RunFixture fixture(job, "Rechnung");
    ResultList& list = fixture.results();
    const ItemHandle document = SearchDocument(fixture, docx);
    ASSERT_EQ(list.Kind(document), ItemKind::Document);

    DocumentWindowStandIn window(host);
    const RecordingDisplay& display = window.display;
    host.writerShows = true;
    ResultOpener documentOpener(list, test::RunFixture::utF8(), host);
    std::vector<word::StoryId> writerParts;
    for (ItemHandle hit = list.FirstChild(document); hit != kNoItem; hit = list.NextSibling(hit)) {
        documentOpener.open(hit);
        writerParts.push_back(host.officeRequests.back().story);
    }
    EXPECT_TRUE(host.wordRequests.empty());
    ASSERT_EQ(writerParts.size(), 9u);
    EXPECT_EQ(writerParts.front(), (word::StoryId{word::StoryKind::Header, 1}));
    EXPECT_EQ(writerParts.back(), (word::StoryId{word::StoryKind::Footer, 1}));

    host.writerShows = false;
    std::vector<std::string> parts;
    for (ItemHandle hit = list.FirstChild(document); hit != kNoItem; hit = list.NextSibling(hit)) {
        const std::string position = list.ColumnText(hit, ResultColumn::Position);
        const std::size_t requests = host.wordRequests.size();
        documentOpener.open(hit);
        ASSERT_EQ(host.wordRequests.size(), requests + 1) << position;
        if (position.find(": ") == std::string::npos) continue;
        parts.push_back(display.shown.part);
        EXPECT_EQ(display.selected(), u"Rechnung") << position;
    }
    EXPECT_TRUE(host.messages.empty());
    EXPECT_EQ(
        parts,
        (std::vector<std::string>{"Kopfzeile", "Fußnote 1", "Endnote 1", "Kommentar 1", "Textfeld 1", "Textfeld 2", "Fußzeile"}));

    // Without Writer a hit of the main text, after one in the footer, is selected in the main text again.
    const ItemHandle mainHit = list.NextSibling(list.FirstChild(document));
    ASSERT_EQ(list.ColumnText(mainHit, ResultColumn::Position), "4");
    documentOpener.open(mainHit);
    EXPECT_EQ(display.shown.part, "");
    EXPECT_EQ(display.shown.text.substr(display.shown.selectionStart, 13), u"Rechnung im H");
}

// The document window reads no .doc: a hit in one of its parts, which Writer
// alone shows, is explained rather than failing.
TEST_F(ResultOpenerTest, AHitInAPartOfADocWithoutWriterIsExplained)
{
    const std::string doc = tree.write("parts.doc", test::ReadFile(std::string(TARNWICK_FIXTURE_DOCUMENTS) + "/parts.doc"));
    opener.showInDocumentWindow(doc, {word::StoryKind::Header, 1}, 14, 8);
    EXPECT_TRUE(host.wordRequests.empty());
    EXPECT_EQ(host.messages, std::vector<std::string>{std::string(kDocPartNeedsWriterMessage)});
}

TEST_F(ResultOpenerTest, WordProcessorFailuresAreReported)
{
    host.wordOutcome = WordShowOutcome::NoConnection;
    opener.open(results.docHit);
    host.wordOutcome = WordShowOutcome::Failed;
    opener.open(results.docHit);
    EXPECT_EQ(host.messages,
              (std::vector<std::string>{"MS Word kann nicht initialisiert werden", "Fehler beim Anzeigen mit Word."}));
    EXPECT_TRUE(host.fakeViewer.requests.empty());
    EXPECT_EQ(host.previewShown, 0);
}

TEST_F(ResultOpenerTest, ThePreviewPageOpensOneSelectedResultOfAnOrdinaryFile)
{
    const ResultList& list = results.list;
    EXPECT_TRUE(OpensOnPreviewTab(list, {results.hit}));
    EXPECT_TRUE(OpensOnPreviewTab(list, {results.file}));
    EXPECT_FALSE(OpensOnPreviewTab(list, {results.docHit}));
    EXPECT_FALSE(OpensOnPreviewTab(list, {results.document}));
    EXPECT_FALSE(OpensOnPreviewTab(list, {results.hit, results.secondHit}));
    EXPECT_FALSE(OpensOnPreviewTab(list, {}));
}

}  // namespace
}  // namespace tarnwick::ui
