// xdg-open tells of a missing browser only by its exit status, and where it
// starts the browser itself it ends only when the browser does. Shell
// scripts in the test's tree stand in for it.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QFileInfo>
#include <QTest>

#include <chrono>
#include <optional>
#include <string>

#include "tests/support/TempTree.h"
#include "tests/ui/support/QtApp.h"
#include "ui/help/DesktopOpener.h"
#include "ui/help/HelpMenuTexts.h"

namespace tarnwick::ui {
namespace {

using namespace std::chrono_literals;

class DesktopOpenerTest : public ::testing::Test {
protected:
    void SetUp() override { test::EnsureQtApp(); }

    // A program that notes its argument in "called", then runs `body`.
    std::string fakeOpener(const std::string& name, const std::string& body)
    {
        const std::string path =
            tree.write(name, "#!/bin/sh\nprintf '%s' \"$1\" > '" + tree.path("called") + "'\n" + body + "\n");
        ::chmod(path.c_str(), 0755);
        return path;
    }

    std::optional<BrowserAnswer> answerOf(const std::string& program, std::chrono::milliseconds grace = 10s)
    {
        DesktopOpener opener(program, grace);
        std::optional<BrowserAnswer> answer;
        opener.open("/help/index.html", [&](const BrowserAnswer& given) { answer = given; });
        static_cast<void>(QTest::qWaitFor([&] { return answer.has_value(); }, 10'000));
        return answer;
    }

    test::TempTree tree;
};

TEST_F(DesktopOpenerTest, TheExitStatusSaysWhetherTheBrowserTookThePage)
{
    const std::pair<std::string, std::optional<std::string>> cases[] = {
        {"exit 3", text::help::kOpenerNoBrowser},
        {"exit 4", text::help::kOpenerFailed + std::string("4.")},
        {"exit 0", std::nullopt},
    };
    for (const auto& [body, failure] : cases) {
        const std::optional<BrowserAnswer> answer = answerOf(fakeOpener("opener", body));
        ASSERT_TRUE(answer) << body;
        EXPECT_EQ(answer->opened, !failure) << body;
        EXPECT_EQ(answer->failure, failure.value_or("")) << body;
    }
    EXPECT_EQ(tree.read("called"), "/help/index.html");
    const std::optional<BrowserAnswer> absent = answerOf(tree.path("nowhere/xdg-open"));
    ASSERT_TRUE(absent);
    EXPECT_EQ(absent->failure.rfind(text::help::kOpenerNotStarted, 0), 0u) << absent->failure;
}

TEST_F(DesktopOpenerTest, StillRunningAfterTheGracePeriodCountsAsOpenedAndIsNeverKilled)
{
    const std::string lived = tree.path("lived");
    const std::string program = fakeOpener("browser", "sleep 1; echo > '" + lived + "'");
    {
        const std::optional<BrowserAnswer> answer = answerOf(program, 100ms);
        ASSERT_TRUE(answer);
        EXPECT_TRUE(answer->opened);
        EXPECT_FALSE(QFileInfo::exists(QString::fromStdString(lived))) << "answered before the program ended";
    }
    // The opener is gone; the browser it started goes on.
    EXPECT_TRUE(QTest::qWaitFor([&] { return QFileInfo::exists(QString::fromStdString(lived)); }, 5'000));
}

}  // namespace
}  // namespace tarnwick::ui
