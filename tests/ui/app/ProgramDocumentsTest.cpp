// The desktop program's open operation and its sources (dropped files,
// "Öffnen...", the recent-file list, the switch to the page "Vorschau"),
// with a viewer that records what it is asked, on the offscreen platform.
#include "ui/app/ProgramDocuments.h"

#include <gtest/gtest.h>

#include <cstdio>

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QTabWidget>
#include <QTest>

#include "platform/Clock.h"
#include "settings/ProfileStore.h"
#include "tests/support/TempTree.h"
#include "tests/ui/support/DocumentFiles.h"
#include "tests/ui/support/FakeViewer.h"
#include "tests/ui/support/QtApp.h"
#include "tests/ui/support/SearchFormFakes.h"
#include "ui/app/CommandLine.h"
#include "ui/app/ProgramWindow.h"
#include "ui/frame/DocumentOpenRules.h"
#include "ui/frame/MainFrame.h"
#include "ui/results/ResultsPane.h"
#include "ui/searchform/SearchFormWidget.h"
#include "ui/viewer/DocumentWindow.h"

namespace tarnwick::ui {
namespace {

QString Q(const std::string& path) { return QString::fromStdString(path); }

class ProgramDocumentsTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { test::EnsureQtApp(); }

    std::unique_ptr<ProgramWindow> open()
    {
        ProgramSetup setup;
        setup.profilePath = profile;
        setup.prompts = &prompts;
        setup.clock = &clock;
        auto window = std::make_unique<ProgramWindow>(setup);
        window->documents().setViewerSource([this] { return &viewer; });
        window->frame().resize(900, 600);
        window->frame().show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&window->frame()));
        return window;
    }

    static QStringList recentTexts(ProgramWindow& window)
    {
        QStringList texts;
        for (QAction* action : window.documents().recentFileActions()) texts << action->text();
        return texts;
    }

    // Drops `urls` on `target` as a file manager would.
    static void drop(QWidget* target, const QList<QUrl>& urls)
    {
        QMimeData data;
        data.setUrls(urls);
        const QPointF at(10, 10);
        QDragEnterEvent enter(at.toPoint(), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &enter);
        QDropEvent dropped(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &dropped);
        QCoreApplication::processEvents();
    }

    test::TempTree tree;
    std::string profile = tree.path("config/Tarnwick.conf");
    test::ScriptedPrompts prompts;
    FixedClock clock{1'700'000'000};
    test::FakeViewer viewer;
};

TEST_F(ProgramDocumentsTest, OpeningAFileShowsItAndNamesItInTheTitle)
{
    auto window = open();
    MainFrame& frame = window->frame();
    EXPECT_EQ(frame.windowTitle(), QStringLiteral("Tarnwick 2.0"));
    EXPECT_EQ(frame.activeTab(), MainFrame::kResultsTab);

    const std::string path = tree.write("notiz.txt", "Hallo");
    ASSERT_TRUE(window->openDocumentFile(Q(path)));
    EXPECT_EQ(viewer.opened, std::vector<std::string>{path});
    EXPECT_EQ(frame.activeTab(), MainFrame::kPreviewTab);
    EXPECT_EQ(frame.windowTitle(), Q("Tarnwick 2.0 - " + path));

    // Refused by the viewer: the title and the page stay.
    frame.showResultsTab();
    viewer.accepts = false;
    EXPECT_FALSE(window->openDocumentFile(Q(tree.write("kaputt.txt", "x"))));
    EXPECT_EQ(frame.windowTitle(), Q("Tarnwick 2.0 - " + path));
    EXPECT_EQ(frame.activeTab(), MainFrame::kResultsTab);
    EXPECT_EQ(recentTexts(*window), QStringList{Q("&1 " + path)});
}

TEST_F(ProgramDocumentsTest, FoldersAndMissingFilesAreRefusedWithAMessage)
{
    auto window = open();
    EXPECT_FALSE(window->openDocumentFile(Q(tree.mkdir("ordner"))));
    EXPECT_FALSE(window->openDocumentFile(Q(tree.path("fehlt.txt"))));
    EXPECT_TRUE(viewer.opened.empty());
    ASSERT_EQ(prompts.shown.size(), 2u);
    EXPECT_NE(prompts.shown[0].find("Verzeichnis"), std::string::npos);
    EXPECT_NE(prompts.shown[1].find("nicht gefunden"), std::string::npos);
    EXPECT_EQ(window->frame().windowTitle(), QStringLiteral("Tarnwick 2.0"));
}

TEST_F(ProgramDocumentsTest, OfSeveralDroppedFilesTheFirstOpens)
{
    auto window = open();
    const std::string first = tree.write("eins.txt", "1");
    const QList<QUrl> urls{QUrl::fromLocalFile(Q(first)), QUrl::fromLocalFile(Q(tree.write("zwei.txt", "2"))),
                           QUrl::fromLocalFile(Q(tree.write("drei.txt", "3")))};
    // Dropped on the search form's text field as much as on the window itself.
    drop(window->form().findChild<QLineEdit*>(), urls);
    EXPECT_EQ(viewer.opened, std::vector<std::string>{first});
    EXPECT_EQ(window->frame().windowTitle(), Q("Tarnwick 2.0 - " + first));

    drop(&window->frame(), {QUrl::fromLocalFile(Q(tree.mkdir("ordner")))});
    EXPECT_EQ(viewer.opened.size(), 1u);
    EXPECT_EQ(prompts.shown.size(), 1u);
    EXPECT_EQ(window->frame().windowTitle(), Q("Tarnwick 2.0 - " + first));
}

TEST_F(ProgramDocumentsTest, TheRecentFileListKeepsFourAndForgetsWhatNoLongerOpens)
{
    std::vector<std::string> files;
    {
        auto window = open();
        for (const char* name : {"a.txt", "b.txt", "c.txt", "d.txt", "e.txt"}) {
            files.push_back(tree.write(name, name));
            window->documents().setFileChooser([&] { return Q(files.back()); });
            window->frame().action(FrameCommand::FileOpen)->trigger();
        }
        window->openDocumentFile(Q(files[2]));  // opened again: moves to the top
        EXPECT_EQ(recentTexts(*window),
                  (QStringList{Q("&1 " + files[2]), Q("&2 " + files[4]), Q("&3 " + files[3]), Q("&4 " + files[1])}));
        EXPECT_FALSE(window->frame().action(FrameCommand::RecentFile)->isVisible());
    }
    settings::ProfileStore store(profile);
    EXPECT_EQ(store.GetProfileString("Recent File List", "File1"), files[2]);
    EXPECT_EQ(store.GetProfileString("Recent File List", "File4"), files[1]);

    // The next program start finds the list; a file deleted since is dropped from it.
    ASSERT_EQ(std::remove(files[4].c_str()), 0);
    auto window = open();
    ASSERT_EQ(window->documents().recentFileActions().size(), 4u);
    window->documents().recentFileActions()[1]->trigger();
    QCoreApplication::processEvents();
    EXPECT_EQ(recentTexts(*window), (QStringList{Q("&1 " + files[2]), Q("&2 " + files[3]), Q("&3 " + files[1])}));
    EXPECT_EQ(settings::ProfileStore(profile).GetProfileString("Recent File List", "File4"), "");
    window->documents().recentFileActions()[2]->trigger();
    EXPECT_EQ(viewer.opened.back(), files[1]);
    EXPECT_EQ(recentTexts(*window).first(), Q("&1 " + files[1]));
}

TEST_F(ProgramDocumentsTest, ThePreviewPageOpensTheSelectedHitButNotOverAnOpenedFile)
{
    auto window = open();
    ResultList& list = window->resultList();
    list.AddNoteItem(tree.write("a.txt", "ab x"), ItemKind::File, 1);
    const ItemHandle hit = list.AddHitItem(3, 1, "ab x", 3, ItemKind::None, 1);
    list.AddFileItem(tree.write("d.docx", "-"), ItemKind::Document);
    const ItemHandle docHit = list.AddHitItem(0, 1, "x", 0, ItemKind::None, 1);
    window->results().catchUp();

    list.SetSelectedItems({docHit});
    window->frame().tabWindow()->setCurrentIndex(MainFrame::kPreviewTab);
    EXPECT_TRUE(viewer.requests.empty());

    window->frame().tabWindow()->setCurrentIndex(MainFrame::kResultsTab);
    list.SetSelectedItems({hit});
    window->frame().tabWindow()->setCurrentIndex(MainFrame::kPreviewTab);
    ASSERT_EQ(viewer.requests.size(), 1u);
    EXPECT_EQ(viewer.requests[0].start, 3);

    // Opening a file brings the page to the front without the hit replacing it.
    window->frame().tabWindow()->setCurrentIndex(MainFrame::kResultsTab);
    ASSERT_TRUE(window->openDocumentFile(Q(tree.write("other.txt", "o"))));
    EXPECT_EQ(viewer.requests.size(), 1u);

    // A double click on the hit opens it too.
    window->results().commands().openHit(hit);
    EXPECT_EQ(viewer.requests.size(), 2u);
}

TEST_F(ProgramDocumentsTest, ARunStartingMakesTheWordProcessorQuit)
{
    auto window = open();
    const std::string docx = test::WriteDocxParagraphs(tree, "brief.docx", {"Ein Treffer"});
    ViewerWordConnection& word = window->documents().wordConnection();
    ASSERT_EQ(word.show(docx, 4, 7), WordShowOutcome::Shown);
    DocumentWindow& documentWindow = window->documents().documentWindow();
    EXPECT_TRUE(documentWindow.isVisible());
    EXPECT_EQ(documentWindow.windowTitle(), QStringLiteral("brief.docx - Tarnwick"));

    emit window->form().releaseViewerDocuments();
    EXPECT_FALSE(word.isHeld());
    EXPECT_FALSE(documentWindow.isVisible());
}

TEST_F(ProgramDocumentsTest, TheProgramsViewerShowsAHitOfAUtf8FileExactlySelected)
{
    ProgramSetup setup;
    setup.profilePath = profile;
    setup.prompts = &prompts;
    setup.clock = &clock;
    ProgramWindow window(setup);
    ASSERT_NE(window.viewer(), nullptr);
    const std::string text = "\xEF\xBB\xBFZeile eins\nViele Gr\xC3\xBC\xC3\x9F"
                             "e aus K\xC3\xB6ln\n";
    const std::string path = tree.write("brief.txt", text);
    ResultList& list = window.resultList();
    list.AddNoteItem(path, ItemKind::File, 4);
    const auto at = static_cast<std::int64_t>(text.find("Gr\xC3\xBC"));
    const ItemHandle hit = list.AddHitItem(at, 7, "Viele Grüße aus", 6, ItemKind::None, 5);
    window.results().catchUp();
    window.results().commands().openHit(hit);
    EXPECT_EQ(window.frame().activeTab(), MainFrame::kPreviewTab);
    auto* editor = window.viewer()->page()->findChild<QPlainTextEdit*>();
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->textCursor().selectedText(), QString::fromUtf8("Grüße"));

    // The open operation with the same viewer: the title names the file.
    const std::string other = tree.write("andere.txt", "anders");
    ASSERT_TRUE(window.openDocumentFile(Q(other)));
    EXPECT_EQ(window.viewer()->currentPath(), Q(other));
    EXPECT_EQ(window.frame().windowTitle(), Q("Tarnwick 2.0 - " + other));
}

TEST(CommandLineTest, OneFileOrAClearMessage)
{
    EXPECT_TRUE(ParseCommandLine({"tarnwick"}).file.isEmpty());
    EXPECT_TRUE(ParseCommandLine({"tarnwick"}).error.isEmpty());
    EXPECT_EQ(ParseCommandLine({"tarnwick", "brief.txt"}).file, QStringLiteral("brief.txt"));
    EXPECT_EQ(ParseCommandLine({"tarnwick", "--", "-seltsam.txt"}).file, QStringLiteral("-seltsam.txt"));
    EXPECT_TRUE(ParseCommandLine({"tarnwick", "--help"}).help);
    EXPECT_TRUE(ParseCommandLine({"tarnwick", "-v"}).version);

    const CommandLineRequest unknown = ParseCommandLine({"tarnwick", "--drucken", "brief.txt"});
    EXPECT_TRUE(unknown.error.startsWith(QStringLiteral("Unbekannte Option: --drucken"))) << unknown.error.toStdString();
    EXPECT_TRUE(unknown.file.isEmpty());
    EXPECT_FALSE(ParseCommandLine({"tarnwick", "a.txt", "b.txt"}).error.isEmpty());
}

TEST(DocumentOpenRulesTest, TitlesPathsAndDrops)
{
    EXPECT_EQ(MainWindowTitle(), QStringLiteral("Tarnwick 2.0"));
    EXPECT_EQ(MainWindowTitle(QStringLiteral("/a b.txt")), QStringLiteral("Tarnwick 2.0 - /a b.txt"));
    EXPECT_EQ(AbsoluteDocumentPath(QStringLiteral("x/../brief.txt")), QDir::currentPath() + QStringLiteral("/brief.txt"));
    EXPECT_EQ(DroppedFilePath({QUrl(QStringLiteral("https://example.org/a.txt")), QUrl::fromLocalFile("/b")}), QString());
    EXPECT_EQ(DroppedFilePath({}), QString());

    // "Öffnen" starts in the folder of the file on disk, also for a file shown from inside an archive.
    const test::TempTree tree;
    const QString folder = QString::fromStdString(tree.root());
    const QString archive = QString::fromStdString(tree.write("a.zip", "PK"));
    EXPECT_EQ(ExistingFolderOf(archive + QStringLiteral(" » b.tar.gz » docs/x/c.txt")), folder);
    EXPECT_EQ(ExistingFolderOf(folder + QStringLiteral("/d.txt")), folder);
    EXPECT_EQ(ExistingFolderOf(QString()), QString());
}

}  // namespace
}  // namespace tarnwick::ui
