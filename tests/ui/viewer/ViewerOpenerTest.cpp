#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>
#include <vector>

#include "platform/CodePage.h"
#include "tests/support/TempTree.h"
#include "ui/viewer/ViewerOpener.h"

namespace tarnwick::ui {
namespace {

struct ScriptedPrompts : ViewerPrompts {
    bool largeAnswer = true;
    SaveAnswer saveAnswer = SaveAnswer::Discard;
    std::vector<std::string> asked;
    bool askOpenLargeFile() override
    {
        asked.push_back("large");
        return largeAnswer;
    }
    SaveAnswer askSaveChanges(const QString&) override
    {
        asked.push_back("save");
        return saveAnswer;
    }
    void showError(const QString& text) override { asked.push_back("error: " + text.toStdString()); }
};

struct FakeDocument : ViewerDocument {
    bool modified = false;
    bool saveWorks = true;
    int saves = 0;
    QString path;
    QString text;
    int loads = 0;
    std::vector<std::pair<std::int64_t, std::int64_t>> selections;
    bool isModified() const override { return modified; }
    bool saveDocument() override
    {
        ++saves;
        if (saveWorks) modified = false;
        return saveWorks;
    }
    void showText(const QString& p, ViewerText t) override
    {
        path = p;
        text = t.text;
        modified = false;
        ++loads;
    }
    void selectBytes(std::int64_t start, std::int64_t length) override { selections.emplace_back(start, length); }
    void selectCodePoints(std::int64_t start, std::int64_t length) override { selections.emplace_back(start, length); }
};

class ViewerOpenerTest : public ::testing::Test {
protected:
    test::TempTree tree;
    CodePage codePage{"UTF-8"};
    ViewerCodec codec{codePage};
    ScriptedPrompts prompts;
    FakeDocument document;
    ViewerOpener opener{prompts, document, codec};

    QString file(const char* name, const std::string& bytes) { return QString::fromStdString(tree.write(name, bytes)); }
};

TEST_F(ViewerOpenerTest, TheSameResultTwiceReadsTheFileOnceUnlessMarkedForReload)
{
    const QString path = file("a.txt", "one hit");
    EXPECT_TRUE(opener.openForResult(path, 4, 3, 1000));
    EXPECT_TRUE(opener.openForResult(path, 0, 3, 1000));
    EXPECT_EQ(document.loads, 1);
    EXPECT_EQ(document.selections.size(), 2u);

    tree.write("a.txt", "changed by a replace run");
    opener.markForReload();
    EXPECT_TRUE(opener.openForResult(path, -1, 0, 1));  // larger than the split length: no question now
    EXPECT_EQ(document.loads, 2);
    EXPECT_EQ(document.text, QStringLiteral("changed by a replace run"));
    EXPECT_FALSE(opener.isReloadRequired());
    EXPECT_EQ(document.selections.size(), 2u);  // -1: no selection
    EXPECT_TRUE(prompts.asked.empty());
}

TEST_F(ViewerOpenerTest, OnlyAFileLargerThanTheSplitLengthAsks)
{
    const QString exact = file("exact.txt", std::string(10, 'x'));
    const QString larger = file("larger.txt", std::string(11, 'x'));
    EXPECT_TRUE(opener.openForResult(exact, -1, 0, 10));
    EXPECT_TRUE(prompts.asked.empty());

    prompts.largeAnswer = false;
    EXPECT_FALSE(opener.openForResult(larger, -1, 0, 10));
    EXPECT_EQ(prompts.asked, std::vector<std::string>{"large"});
    EXPECT_EQ(opener.currentPath(), exact);  // the previous file stays

    prompts.largeAnswer = true;
    EXPECT_TRUE(opener.openForResult(larger, -1, 0, 10));
    EXPECT_EQ(opener.currentPath(), larger);
}

TEST_F(ViewerOpenerTest, UnsavedChangesAreSavedDiscardedOrKept)
{
    const QString first = file("first.txt", "first");
    const QString second = file("second.txt", "second");
    ASSERT_TRUE(opener.openFile(first));

    document.modified = true;
    prompts.saveAnswer = SaveAnswer::Cancel;
    EXPECT_FALSE(opener.openFile(second));
    EXPECT_EQ(document.path, first);
    EXPECT_TRUE(document.modified);

    document.saveWorks = false;  // a failed save keeps the text too
    prompts.saveAnswer = SaveAnswer::Save;
    EXPECT_FALSE(opener.openFile(second));
    EXPECT_EQ(document.path, first);

    document.saveWorks = true;
    EXPECT_TRUE(opener.openFile(second));
    EXPECT_EQ(document.saves, 2);
    EXPECT_EQ(document.path, second);

    document.modified = true;
    prompts.saveAnswer = SaveAnswer::Discard;
    EXPECT_TRUE(opener.openFile(second));  // the program's open reads the same file again
    EXPECT_EQ(document.saves, 2);
    EXPECT_EQ(document.loads, 3);
}

TEST_F(ViewerOpenerTest, CloseAsksOnlyAboutUnsavedChanges)
{
    EXPECT_TRUE(opener.confirmClose());
    document.modified = true;
    prompts.saveAnswer = SaveAnswer::Cancel;
    EXPECT_FALSE(opener.confirmClose());
    prompts.saveAnswer = SaveAnswer::Discard;
    EXPECT_TRUE(opener.confirmClose());
}

TEST_F(ViewerOpenerTest, UnreadableFilesAndNonFilesAreRefusedWithAMessage)
{
    const QString shown = file("shown.txt", "keep me");
    ASSERT_TRUE(opener.openFile(shown));
    document.modified = true;

    const QString missing = QString::fromStdString(tree.path("missing.txt"));
    const QString directory = QString::fromStdString(tree.mkdir("folder"));
    const std::string fifo = tree.path("fifo");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    for (const QString& path : {missing, directory, QString::fromStdString(fifo)}) {
        prompts.asked.clear();
        EXPECT_FALSE(opener.openFile(path)) << path.toStdString();
        EXPECT_FALSE(opener.openForResult(path, 0, 1, 100)) << path.toStdString();
        ASSERT_EQ(prompts.asked.size(), 2u);
        EXPECT_EQ(prompts.asked[0].rfind("error: ", 0), 0u);  // no question about the changes first
    }
    EXPECT_EQ(document.path, shown);
    EXPECT_EQ(document.text, QStringLiteral("keep me"));
    EXPECT_EQ(opener.currentPath(), shown);
}

}  // namespace
}  // namespace tarnwick::ui
