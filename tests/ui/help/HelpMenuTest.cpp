// The menu "&?" of the main window: the help opened once found and never
// sought again once missing, the tips, and the About box's way to the
// updater, which closes the window through its normal close when the
// updater has started and keeps it open with a message when it has not.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTextBrowser>
#include <QTimer>

#include "platform/Clock.h"
#include "settings/ProfileStore.h"
#include "tests/support/TempTree.h"
#include "tests/ui/help/CannedHttpServer.h"
#include "tests/ui/support/QtApp.h"
#include "tests/ui/support/SearchFormFakes.h"
#include "ui/app/ProgramWindow.h"
#include "ui/common/ProgramFiles.h"
#include "ui/frame/MainFrame.h"
#include "ui/help/AboutBox.h"
#include "ui/help/HelpLauncher.h"
#include "ui/help/HelpMenu.h"
#include "ui/help/HelpMenuTexts.h"
#include "ui/help/HelpWindow.h"
#include "ui/help/UpdateCheckDialog.h"
#include "ui/searchform/SearchFormController.h"

namespace tarnwick::ui {
namespace {

TEST(ProgramFiles, BesideTheProgramThenTheInstalledShareDirectory)
{
    test::TempTree tree;
    const std::string bin = tree.mkdir("bin");
    EXPECT_EQ(FindProgramFile(bin, "help/index.html"), std::nullopt);
    tree.mkdir("bin/help/index.html");  // a folder of that name is no help
    EXPECT_EQ(FindProgramFile(bin, "help/index.html"), std::nullopt);
    tree.write("share/tarnwick/help/index.html", "<html>");
    EXPECT_EQ(FindProgramFile(bin, "help/index.html"), tree.path("share/tarnwick/help/index.html"));
    EXPECT_EQ(ProgramFileDirectory(bin, "help/index.html"), tree.path("share/tarnwick/help"));
    tree.write("bin/tips.txt", "x");
    EXPECT_EQ(FindProgramFile(bin, "tips.txt"), bin + "/tips.txt");
    EXPECT_EQ(ProgramFileDirectory(bin, "vorlage_export.txt"), bin);
}

// What the launcher had shown, in order.
struct RecordingDisplay final : HelpDisplay {
    std::vector<std::string> shown;
    void showHelpWindow(const std::string& page, const std::string& note) override
    {
        shown.push_back("window " + page + " | " + note);
    }
    void showHelpNote(const std::string& note) override { shown.push_back("note " + note); }
    void showHelpMessage(const std::string& text) override { shown.push_back("message " + text); }
};

// A browser that answers at once, and records what it was handed.
BrowserOpener AnsweringBrowser(std::vector<std::string>& handed, bool opens)
{
    return [&handed, opens](const std::string& target, std::function<void(const BrowserAnswer&)> done) {
        handed.push_back(target);
        done({opens, opens ? "" : "Kein Browser."});
    };
}

TEST(HelpLauncher, OpensTheHelpEachTimeButGivesUpForGoodWhenItIsMissing)
{
    test::TempTree tree;
    const std::string bin = tree.mkdir("bin");
    const std::string index = bin + "/help/index.html";
    std::vector<std::string> opened;
    RecordingDisplay display;
    HelpLauncher missing(bin, AnsweringBrowser(opened, true), display);
    missing.show();
    tree.write("bin/help/index.html", "<html>");
    missing.show();  // a later request does not try again
    EXPECT_TRUE(missing.isUnavailable());
    EXPECT_TRUE(opened.empty());
    // ... but says so each time: a request never ends in silence.
    EXPECT_EQ(display.shown, std::vector<std::string>(2, "message " + std::string(text::help::kHelpMissing) + bin));

    display.shown.clear();
    HelpLauncher present(bin, AnsweringBrowser(opened, true), display);
    present.show();
    present.show();
    EXPECT_EQ(opened, (std::vector<std::string>{index, index}));
    EXPECT_TRUE(display.shown.empty());

    // Where the browser fails, the own window shows the help and says why;
    // the browser is not asked again.
    opened.clear();
    HelpLauncher failing(bin, AnsweringBrowser(opened, false), display);
    failing.show();
    failing.show();
    EXPECT_EQ(opened.size(), 1u);
    EXPECT_EQ(display.shown, std::vector<std::string>(2, "window " + index + " | Kein Browser." + text::help::kHelpInOwnWindow));
}

// xdg-open answers later: a second request meanwhile starts no second
// browser, and an answer that comes after the launcher is gone is dropped.
TEST(HelpLauncher, WaitsForTheBrowsersAnswer)
{
    test::TempTree tree;
    const std::string index = tree.write("bin/help/index.html", "<html>");
    std::vector<std::string> handed;
    std::vector<std::function<void(const BrowserAnswer&)>> answers;
    const BrowserOpener later = [&](const std::string& target, std::function<void(const BrowserAnswer&)> done) {
        handed.push_back(target);
        answers.push_back(std::move(done));
    };
    RecordingDisplay display;
    {
        HelpLauncher launcher(tree.path("bin"), later, display);
        launcher.show();
        launcher.show();
        ASSERT_EQ(answers.size(), 1u);
        EXPECT_TRUE(display.shown.empty());
        answers[0]({false, "Kein Browser."});
        EXPECT_TRUE(launcher.hasBrowserFailed());
        ASSERT_EQ(display.shown.size(), 1u);

        launcher.openAddress("https://example.org/neu");
    }
    answers[1]({false, "zu spät"});
    EXPECT_EQ(display.shown.size(), 1u);
    EXPECT_EQ(handed, (std::vector<std::string>{index, "https://example.org/neu"}));
}

TEST(AboutBox, ClosesWithTheChoiceOnlyWhenTheCheckEndsWithAktualisieren)
{
    test::EnsureQtApp();
    std::optional<UpdateChoice> answer;
    int checks = 0;
    AboutBox box([&](QWidget*) { return ++checks, answer; });
    EXPECT_EQ(box.windowTitle(), QStringLiteral("Info über Tarnwick"));
    EXPECT_EQ(box.checkButton()->text(), QStringLiteral("Auf neue Version überprüfen"));
    box.checkButton()->click();
    EXPECT_EQ(checks, 1);
    EXPECT_EQ(box.updateChoice(), std::nullopt);
    EXPECT_EQ(box.result(), QDialog::Rejected) << "still open";
    answer = UpdateChoice{"http://dl/t.tgz", false};
    box.checkButton()->click();
    EXPECT_EQ(box.result(), QDialog::Accepted);
    ASSERT_TRUE(box.updateChoice());
    EXPECT_EQ(box.updateChoice()->location, "http://dl/t.tgz");
}

// The help that comes with the program stands on its own: no scripts, nothing
// fetched from elsewhere, and every link of its contents leads somewhere.
TEST(ShippedHelp, SelfContainedWithWorkingInternalLinks)
{
    const std::string folder = std::string(TARNWICK_SOURCE_ROOT) + "ui/help/";
    const std::string html = test::ReadFile(folder + "index.html");
    ASSERT_FALSE(html.empty());
    EXPECT_EQ(html.find("<script"), std::string::npos);
    EXPECT_EQ(html.find("src=\"http"), std::string::npos);
    EXPECT_EQ(html.find("href=\"http"), std::string::npos);
    EXPECT_FALSE(test::ReadFile(folder + "hilfe.css").empty());
    EXPECT_EQ(test::ReadFile(folder + "hilfe.css").find("url("), std::string::npos);

    int links = 0;
    for (std::size_t at = html.find("href=\"#"); at != std::string::npos; at = html.find("href=\"#", at + 1)) {
        const std::size_t from = at + 7;
        const std::string anchor = html.substr(from, html.find('"', from) - from);
        EXPECT_NE(html.find("id=\"" + anchor + "\""), std::string::npos) << anchor;
        ++links;
    }
    EXPECT_GT(links, 15);
}

class RecordingLauncher final : public UpdaterLauncher {
public:
    bool start(const std::string& program, const std::vector<std::string>& arguments,
               const std::string& workingDirectory) override
    {
        calls.push_back({program, arguments, workingDirectory});
        return succeed;
    }
    struct Call {
        std::string program;
        std::vector<std::string> arguments;
        std::string workingDirectory;
    };
    std::vector<Call> calls;
    bool succeed = true;
};

class HelpMenuTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { test::EnsureQtApp(); }

    void SetUp() override
    {
        ProgramSetup setup;
        setup.profilePath = tree.path("config/Korvane/Tarnwick.conf");
        setup.prompts = &prompts;
        setup.clock = &clock;
        window = std::make_unique<ProgramWindow>(setup);
        window->frame().show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window->frame()));
        HelpMenu& menu = window->helpMenu();
        menu.setUpdaterLauncher(&launcher);
        menu.setMessageSink([this](QWidget*, const QString& text) { messages << text; });
        menu.setAboutRunner([this](QWidget*) { return aboutAnswer; });
    }

    void trigger(FrameCommand id)
    {
        QAction* action = window->frame().action(id);
        ASSERT_TRUE(action->isEnabled());
        action->trigger();
    }

    test::TempTree tree;
    test::ScriptedPrompts prompts;
    FixedClock clock{1'700'000'000};
    RecordingLauncher launcher;
    QStringList messages;
    std::optional<UpdateChoice> aboutAnswer;
    std::unique_ptr<ProgramWindow> window;
};

TEST_F(HelpMenuTest, UpdaterThatDoesNotStartIsToldAndTheProgramGoesOn)
{
    launcher.succeed = false;
    aboutAnswer = UpdateChoice{"http://dl/t.tgz", false};
    trigger(FrameCommand::About);
    EXPECT_EQ(messages, QStringList{QString::fromUtf8(text::help::kUpdaterStartFailed)});
    EXPECT_FALSE(window->controller().isClosingForUpdate());
    EXPECT_TRUE(window->frame().isVisible());

    // The About box closed with OK alone starts nothing.
    aboutAnswer.reset();
    trigger(FrameCommand::About);
    EXPECT_EQ(launcher.calls.size(), 1u);
    EXPECT_TRUE(window->frame().isVisible());
}

// The shown dialog of type T, if any.
template <typename T>
T* shownDialog()
{
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (auto* dialog = qobject_cast<T*>(widget); dialog != nullptr && dialog->isVisible()) return dialog;
    return nullptr;
}

TEST_F(HelpMenuTest, AboutBoxAsksTheConfiguredServerAndStartsTheUpdaterItOffers)
{
    test::CannedServer server(test::HttpResponse("<text>Neu: 2.1</text><akt>0</akt><ort>https://dl/t.tgz</ort>"));
    window->store().WriteProfileString("Einstellungen", "UpdateServer", server.url().toStdString());
    window->helpMenu().setAboutRunner(nullptr);  // the real About box and update check

    // Each modal dialog is driven by a timer of its own, since the About
    // box's timer waits inside its click while the check's dialog runs.
    // Past the deadline every dialog is cancelled, so a fault fails the test
    // instead of hanging it.
    QElapsedTimer elapsed;
    elapsed.start();
    const auto pastDeadline = [&] {
        if (elapsed.elapsed() < 20'000) return false;
        for (QWidget* widget : QApplication::topLevelWidgets())
            if (auto* dialog = qobject_cast<QDialog*>(widget); dialog != nullptr && dialog->isVisible()) dialog->reject();
        return true;
    };
    QTimer aboutDriver;
    QObject::connect(&aboutDriver, &QTimer::timeout, [&] {
        if (pastDeadline()) return;
        if (AboutBox* about = shownDialog<AboutBox>()) {
            aboutDriver.stop();
            about->checkButton()->click();
        }
    });
    QTimer checkDriver;
    QObject::connect(&checkDriver, &QTimer::timeout, [&] {
        if (pastDeadline()) return;
        UpdateCheckDialog* check = shownDialog<UpdateCheckDialog>();
        if (check != nullptr && check->updateButton()->isEnabled()) {
            checkDriver.stop();
            check->updateButton()->click();
        }
    });
    aboutDriver.start(5);
    checkDriver.start(5);
    trigger(FrameCommand::About);
    aboutDriver.stop();
    checkDriver.stop();

    EXPECT_TRUE(server.request.startsWith("GET /cgi-bin/akt.cgi?prog=tarnwk&spra=deu&vers=2.0.2.8 "));
    ASSERT_EQ(launcher.calls.size(), 1u);
    const std::string bin = ProgramDirectory();
    EXPECT_EQ(launcher.calls[0].program, bin + "/aktualisierer");
    EXPECT_EQ(launcher.calls[0].workingDirectory, bin);
    EXPECT_EQ(launcher.calls[0].arguments,
              (std::vector<std::string>{"/l:https://dl/t.tgz", "/n:tarnwick", "/p:" + bin + "/", "/k:1"}));
    EXPECT_TRUE(messages.isEmpty());

    // The window closed the usual way, writing the form's settings.
    EXPECT_TRUE(window->controller().isClosingForUpdate());
    EXPECT_FALSE(window->frame().isVisible());
    settings::ProfileStore written(tree.path("config/Korvane/Tarnwick.conf"));
    EXPECT_NE(written.GetProfileInt("Dialogdaten", "Erweiterte Ansicht", 77), 77u);
}

TEST_F(HelpMenuTest, HelpAndTipsComeFromTheirMenuEntries)
{
    std::vector<std::string> opened;
    window->helpMenu().setHelpSource(ProgramDirectory(), AnsweringBrowser(opened, true));
    int tipsShown = 0;
    window->helpMenu().setTipsRunner([&](QWidget* parent) {
        EXPECT_EQ(parent, &window->frame());
        ++tipsShown;
    });
    trigger(FrameCommand::Tips);
    EXPECT_EQ(tipsShown, 1);
    // The test program's directory holds no help: nothing opens, now or
    // later, and the user is told each time.
    trigger(FrameCommand::Help);
    trigger(FrameCommand::Help);
    EXPECT_TRUE(opened.empty());
    EXPECT_TRUE(window->helpMenu().help().isUnavailable());
    ASSERT_EQ(messages.size(), 2);
    EXPECT_TRUE(messages[0].startsWith(QString::fromUtf8(text::help::kHelpMissing)));
}

// "Hilfe" did nothing where no browser is registered; now the program's own
// window shows the help, and its links lead from page to page.
TEST_F(HelpMenuTest, WithoutABrowserTheOwnWindowShowsTheHelpAndFollowsItsLinks)
{
    const QString index = QString::fromStdString(tree.write(
        "bin/help/index.html", "<html><head><title>Start</title></head><body><a href=\"seite2.html\">Weiter</a></body></html>"));
    const QString second = QString::fromStdString(
        tree.write("bin/help/seite2.html",
                   "<html><head><title>Seite 2</title></head>"
                   "<body><img src=\"bild.png\"> <a href=\"https://example.org/neu\">Netz</a></body></html>"));
    ASSERT_TRUE(QImage(8, 8, QImage::Format_RGB32).save(QString::fromStdString(tree.path("bin/help/bild.png"))));
    std::vector<std::string> handed;
    window->helpMenu().setHelpSource(tree.path("bin"), AnsweringBrowser(handed, false));

    trigger(FrameCommand::Help);
    HelpWindow* help = window->helpMenu().helpWindow();
    ASSERT_NE(help, nullptr);
    EXPECT_TRUE(help->isVisible());
    EXPECT_EQ(help->browser()->source(), QUrl::fromLocalFile(index));
    EXPECT_EQ(help->windowTitle(), QStringLiteral("Start"));
    EXPECT_TRUE(help->note()->text().startsWith(QStringLiteral("Kein Browser.")));

    // Tab to the link, Return follows it; the page's image comes from the help's folder.
    QTest::keyClick(help->browser(), Qt::Key_Tab);
    QTest::keyClick(help->browser(), Qt::Key_Return);
    EXPECT_EQ(help->browser()->source(), QUrl::fromLocalFile(second));
    EXPECT_EQ(help->windowTitle(), QStringLiteral("Seite 2"));
    EXPECT_FALSE(help->browser()->loadResource(QTextDocument::ImageResource, QUrl(QStringLiteral("bild.png"))).isNull());

    // A web address goes to the browser and, refused there, is shown as text.
    QTest::keyClick(help->browser(), Qt::Key_Tab);
    QTest::keyClick(help->browser(), Qt::Key_Return);
    EXPECT_EQ(handed.back(), "https://example.org/neu");
    EXPECT_TRUE(help->note()->text().endsWith(QStringLiteral("https://example.org/neu")));
    EXPECT_EQ(help->browser()->source(), QUrl::fromLocalFile(second));
    EXPECT_TRUE(messages.isEmpty());
}

}  // namespace
}  // namespace tarnwick::ui
