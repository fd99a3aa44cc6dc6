#include <gtest/gtest.h>

#include <sys/stat.h>

#include <chrono>
#include <cstdlib>

#include "tests/support/TempTree.h"
#include "word/automation/Automation.h"
#include "word/libreoffice/SofficeProcess.h"
#include "word/libreoffice/StorySpanMatch.h"
#include "word/libreoffice/WriterWindow.h"
#include "word/open/OpenDocumentFormat.h"

namespace tarnwick {
namespace {

using test::TempTree;

std::string fixture(const std::string& name) { return test::ReadFile(std::string(TARNWICK_OFFICE_DOCUMENTS) + "/" + name); }
std::string writerFixture(const std::string& name) { return test::ReadFile(std::string(TARNWICK_WRITER_DOCUMENTS) + "/" + name); }

// One LibreOffice for the program, headless and with a profile of its own
// (never the user's): the first window starts it, the later ones reach it
// the way they reach a LibreOffice the user runs already.
class Writer : public ::testing::Environment {
public:
    static word::WriterWindow& window() { return *s_window; }

    void SetUp() override
    {
        ::setenv("HOME", m_home.root().c_str(), 1);
        s_window = std::make_unique<word::WriterWindow>(
            word::WriterLaunch{word::FindSoffice(),
                               std::chrono::seconds(60),
                               {"--headless", "-env:UserInstallation=file://" + m_home.root() + "/profile"}});
    }
    void TearDown() override
    {
        s_window->terminateOffice();
        s_window.reset();
    }

private:
    TempTree m_home;
    static inline std::unique_ptr<word::WriterWindow> s_window;
};

[[maybe_unused]] ::testing::Environment* const g_writer = ::testing::AddGlobalTestEnvironment(new Writer);

TEST(WriterWindow, SelectsTheHitOfTheEnginesModel)
{
    const TempTree tree;
    // .odt: positions of the built-in component, here behind a table.
    const std::string odt = tree.write("letter.odt", fixture("letter.odt"));
    const std::unique_ptr<word::DocumentFormat> format = word::OpenDocumentFormat(odt);
    const word::StoryText& story = format->mainStory();
    const std::int64_t greeting = story.positionOfVisible(static_cast<std::int64_t>(story.visibleText().find(u"Grüßen")));
    Writer::window().show(odt, {}, greeting, 6);
    EXPECT_EQ(Writer::window().selectedText(), u"Grüßen");

    // .doc: positions of the document server, here in a table cell.
    const std::string doc = tree.write("letter.doc", fixture("letter.doc"));
    Writer::window().show(doc, {}, 93, 8);
    EXPECT_EQ(Writer::window().selectedText(), u"Rechnung");
    Writer::window().show(doc, {}, 59, 12);
    EXPECT_EQ(Writer::window().selectedText(), u"Rechnung für");
}

// A hit in a header or a note is selected there: in a .doc at the document
// server's positions, in a .docx at the built-in component's, looked up in
// Writer's text of the same part.
TEST(WriterWindow, SelectsAHitInAnyPartOfTheDocument)
{
    const TempTree tree;
    const word::StoryId header{word::StoryKind::Header, 1};
    const word::StoryId footnote{word::StoryKind::Footnote, 1};
    const std::string docx = tree.write("header-note.docx", writerFixture("header-note.docx"));
    const std::unique_ptr<word::DocumentFormat> format = word::OpenDocumentFormat(docx);
    for (const word::StoryId id : {header, footnote}) {
        const word::StoryText& story = format->story(id);
        Writer::window().show(docx, id, story.positionOfVisible(static_cast<std::int64_t>(story.visibleText().find(u"Rechnung"))),
                              8);
        EXPECT_EQ(Writer::window().selectedText(), u"Rechnung") << static_cast<int>(id.kind);
    }

    const std::string doc = tree.write("header-note.doc", writerFixture("header-note.doc"));
    Writer::window().show(doc, header, 14, 8);  // "Briefkopf zur Rechnung"
    EXPECT_EQ(Writer::window().selectedText(), u"Rechnung");
    Writer::window().show(doc, footnote, 0, 11);
    EXPECT_EQ(Writer::window().selectedText(), u"Rechnung in");
}

// The nogui packages of LibreOffice would run a Writer nobody sees.
TEST(WriterWindow, IsUsedOnlyWithADisplayAndADesktopPlugin)
{
    const TempTree tree;
    const std::string soffice = tree.write("program/soffice", "");
    ::setenv("DISPLAY", ":0", 1);
    EXPECT_FALSE(word::WriterCanShowWindows(soffice));
    tree.write("program/libvclplug_gtk3lo.so", "");
    EXPECT_TRUE(word::WriterCanShowWindows(soffice));
    ::unsetenv("DISPLAY");
    ::unsetenv("WAYLAND_DISPLAY");
    EXPECT_FALSE(word::WriterCanShowWindows(soffice));
}

TEST(WriterWindow, ALibreOfficeThatEndsAtItsStartFailsWithoutWaitingForTheTimeLimit)
{
    const TempTree tree;
    const std::string failing = tree.write("soffice", "#!/bin/sh\nexit 3\n");
    ASSERT_EQ(::chmod(failing.c_str(), 0755), 0);
    word::WriterWindow window({failing, std::chrono::seconds(60), {}});
    const auto start = std::chrono::steady_clock::now();
    EXPECT_THROW(window.show(tree.write("letter.odt", fixture("letter.odt")), {}, 0, 1), word::ServerError);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
}

TEST(StorySpanMatch, FindsAHitBehindTextTheOtherModelDoesNotCount)
{
    const auto story = [](std::u16string_view text, std::size_t hiddenAt, std::size_t hidden) {
        word::StoryText made;
        for (std::size_t i = 0; i < text.size(); ++i) {
            word::Unit unit;
            unit.value = text[i];
            if (i >= hiddenAt && i < hiddenAt + hidden) unit.flags = word::kFieldCode;
            made.units().push_back(unit);
        }
        made.index();
        return made;
    };
    // "ab" occurs three times; the engine's model counts a field code in front of the second.
    const word::StoryText engine = story(u"ab cd CODE ab ab", 6, 5);
    const word::StoryText writer = story(u"ab cd ab ab", 0, 0);
    const std::optional<word::StorySpan> second = word::MatchStorySpan(engine, writer, 11, 13);
    ASSERT_TRUE(second);
    EXPECT_EQ(second->start, 6);
    EXPECT_EQ(second->end, 8);
    const std::optional<word::StorySpan> first = word::MatchStorySpan(engine, writer, 0, 2);
    ASSERT_TRUE(first);
    EXPECT_EQ(first->start, 0);
    EXPECT_FALSE(word::MatchStorySpan(engine, story(u"ab", 0, 0), 14, 16));
}

}  // namespace
}  // namespace tarnwick
