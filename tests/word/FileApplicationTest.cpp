// The automation interface over real files, driven the way the engine
// drives it: open, find in a loop, replace one by one, save, close, quit.
#include "word/builtin/FileApplication.h"

#include "tests/word/WordFixtures.h"
#include "word/automation/WordErrors.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace tarnwick::word {
namespace {

using test::Utf16;
using test::Utf8;

class FileApplicationTest : public ::testing::Test {
protected:
    FileApplicationTest() : m_application(CreateFileApplication()) {}

    std::string docx(std::string_view body) { return test::WriteDocx(m_tree, "t.docx", body); }
    Document& open(const std::string& path, bool readOnly)
    {
        return m_application->GetDocuments().Open(path, false, readOnly, false);
    }

    static FindArguments search(std::string_view text, bool matchCase = false, bool wholeWord = false)
    {
        FindArguments a;
        a.findText = Utf16(text);
        a.matchCase = matchCase;
        a.matchWholeWord = wholeWord;
        return a;
    }

    tarnwick::test::TempTree m_tree;
    std::unique_ptr<Application> m_application;
};

TEST_F(FileApplicationTest, SearchLoopReportsEachHitOnceAndAFailedFindKeepsTheRange)
{
    Document& doc = open(docx("<w:p><w:r><w:t>Foo fOo</w:t></w:r><w:r><w:rPr><w:vanish/></w:rPr><w:t>foo</w:t>"
                              "</w:r><w:r><w:t xml:space=\"preserve\"> food FOO</w:t></w:r></w:p>"),
                         true);
    Range& range = doc.StoryRange(1);
    EXPECT_EQ(Utf8(range.Text()), "Foo fOo food FOO\r");
    range.GetFind().ClearFormatting();
    std::vector<std::int64_t> starts;
    while (range.GetFind().Execute(search("foo", false, true))) {
        starts.push_back(range.Start());
        // The engine widens the range for its context and puts it back.
        const std::int64_t s = range.Start(), e = range.End();
        range.SetEnd(e + 5);
        range.SetStart(0);
        range.SetStart(s);
        range.SetEnd(e);
    }
    EXPECT_EQ(starts, (std::vector<std::int64_t>{0, 4, 16}));  // hidden "foo" and "food" are no hits
    EXPECT_EQ(range.Start(), 16);
    EXPECT_EQ(range.End(), 19);

    // A collapsed range searches to the end; a wider one only within itself.
    range.SetStart(1);
    range.SetEnd(1);
    EXPECT_TRUE(range.GetFind().Execute(search("FOO", true)));
    EXPECT_EQ(range.Start(), 16);
    range.SetStart(0);
    range.SetEnd(10);
    EXPECT_FALSE(range.GetFind().Execute(search("FOO", true)));
    EXPECT_EQ(range.End(), 10);
}

TEST_F(FileApplicationTest, ReplaceLoopCollapsingBehindEachReplacementThenSave)
{
    const std::string path = docx("<w:p><w:r><w:t>a Wort, WORT und wort.</w:t></w:r></w:p>");
    Document& doc = open(path, false);
    Range& range = doc.StoryRange(1);
    FindArguments replace = search("wort");
    replace.replaceWith = u"Wort Wort";  // contains the search text: each occurrence once
    replace.replace = FindReplace::One;
    std::vector<std::string> inserted;
    while (range.GetFind().Execute(replace)) {
        inserted.push_back(Utf8(range.Text()));
        const std::int64_t e = range.End();
        range.SetEnd(e);
        range.SetStart(e);
    }
    EXPECT_EQ(inserted, (std::vector<std::string>{"Wort Wort", "WORT WORT", "Wort Wort"}));
    doc.Save();
    doc.Close(false);
    EXPECT_THROW(m_application->ActiveDocument(), ServerError);
    Document& again = open(path, true);
    EXPECT_EQ(Utf8(again.StoryRange(1).Text()), "a Wort Wort, WORT WORT und Wort Wort.\r");
}

TEST_F(FileApplicationTest, ReadOnlyRefusesSaveAndCloseWithoutSavingDiscards)
{
    const std::string path = docx("<w:p><w:r><w:t>keep</w:t></w:r></w:p>");
    const std::string original = tarnwick::test::ReadFile(path);
    Document& readOnly = open(path, true);
    m_application->GetSelection().SetEnd(4);
    m_application->GetSelection().SetText(u"lost");
    EXPECT_EQ(test::ErrorNumberOf([&] { readOnly.Save(); }), kErrorNotWritable);
    readOnly.Close(false);
    Document& writable = open(path, false);
    EXPECT_EQ(Utf8(writable.StoryRange(1).Text()), "keep\r");
    m_application->GetSelection().SetText(u"x");
    writable.Close(false);
    EXPECT_EQ(tarnwick::test::ReadFile(path), original);

    ::chmod(path.c_str(), 0444);
    EXPECT_EQ(test::ErrorNumberOf([&] { open(path, false); }), kErrorNotWritable);
    EXPECT_NO_THROW(open(path, true));
}

TEST_F(FileApplicationTest, SelectionReplacesAndOtherRangesMoveAlong)
{
    Document& doc = open(docx("<w:p><w:r><w:t>one two three</w:t></w:r></w:p>"), false);
    Range& three = doc.StoryRange(1);
    three.SetStart(8);
    three.SetEnd(13);
    Selection& selection = m_application->GetSelection();
    selection.SetStart(4);
    selection.SetEnd(7);
    EXPECT_EQ(Utf8(selection.Text()), "two");
    selection.SetText(u"zwei\t2");
    EXPECT_EQ(selection.Start(), 4);
    EXPECT_EQ(selection.End(), 10);
    EXPECT_EQ(Utf8(three.Text()), "three");
    EXPECT_EQ(Utf8(doc.StoryRange(1).Text()), "one zwei\t2 three\r");
    // Positions past the story are clamped; a start past the end drags it along.
    three.SetStart(1000);
    EXPECT_EQ(three.Start(), 17);
    EXPECT_EQ(three.End(), 17);
}

TEST_F(FileApplicationTest, DocumentsActivationFullNameAndQuit)
{
    EXPECT_EQ(test::ErrorNumberOf([&] { m_application->ActiveDocument(); }), kErrorNoDocument);
    EXPECT_EQ(test::ErrorNumberOf([&] { m_application->GetSelection().Text(); }), kErrorNoDocument);
    const std::string first = docx("<w:p><w:r><w:t>1</w:t></w:r></w:p>");
    m_tree.mkdir("sub");
    const std::string second = test::WriteOdt(m_tree, "sub/t.odt", "<text:p>2</text:p>");
    Document& a = open(m_tree.path("sub/../t.docx"), true);
    EXPECT_EQ(a.FullName(), first);
    Document& b = open(second, true);
    EXPECT_EQ(&m_application->ActiveDocument(), &b);
    EXPECT_EQ(&open(first, true), &a);  // the same file is the same document
    EXPECT_EQ(&m_application->ActiveDocument(), &a);
    b.Activate();
    EXPECT_EQ(Utf8(m_application->GetSelection().Text()), "");
    EXPECT_EQ(test::ErrorNumberOf([&] { b.StoryRange(2); }), kErrorNoSuchStory);
    FindArguments backwards = search("2");
    backwards.forward = false;
    EXPECT_EQ(test::ErrorNumberOf([&] { b.StoryRange(1).GetFind().Execute(backwards); }), kErrorUnsupported);
    FindArguments replaceAll = search("2");
    replaceAll.replaceWith = u"3";
    replaceAll.replace = FindReplace::All;
    EXPECT_EQ(test::ErrorNumberOf([&] { b.StoryRange(kMainTextStory).GetFind().Execute(replaceAll); }), kErrorUnsupported);
    FindArguments wrapping = search("2");
    wrapping.wrap = FindWrap::Continue;
    EXPECT_EQ(test::ErrorNumberOf([&] { b.StoryRange(kMainTextStory).GetFind().Execute(wrapping); }), kErrorUnsupported);
    EXPECT_EQ(Utf8(b.StoryRange(kMainTextStory).Text()), "2\r");
    EXPECT_EQ(test::ErrorNumberOf([&] { open(m_tree.path("none.docx"), true); }), kErrorCannotOpen);

    m_application->SetScreenUpdating(false);
    m_application->SetVisible(true);
    m_application->Windows();
    m_application->Quit(false);
    EXPECT_THROW(m_application->Windows(), AutomationError);
    EXPECT_THROW(m_application->GetDocuments(), AutomationError);
}

}  // namespace
}  // namespace tarnwick::word
