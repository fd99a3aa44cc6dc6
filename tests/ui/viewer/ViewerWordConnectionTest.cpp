// The search form's word-processor connection over the built-in document
// component, with documents written by the test, and over components that
// fail on purpose.
#include "ui/viewer/ViewerWordConnection.h"

#include <gtest/gtest.h>

#include <QPlainTextEdit>
#include <QTextCursor>

#include <sys/stat.h>

#include "tests/support/TempTree.h"
#include "tests/ui/support/DocumentFiles.h"
#include "tests/ui/support/QtApp.h"
#include "ui/viewer/DocumentWindow.h"
#include "word/automation/WordErrors.h"
#include "word/builtin/FileApplication.h"
#include "word/open/OpenDocumentFormat.h"

namespace tarnwick::ui {
namespace {

class RecordingDisplay : public DocumentDisplay {
public:
    void showDocument(const ShownDocument& document) override
    {
        shown = document;
        visible = true;
    }
    void hideDocument() override { visible = false; }
    std::u16string selected() const { return shown.text.substr(shown.selectionStart, shown.selectionEnd - shown.selectionStart); }

    ShownDocument shown;
    bool visible = false;
};

// The built-in component with one member that fails.
class BrokenSelectionApplication : public word::FileApplication {
public:
    BrokenSelectionApplication() : FileApplication(&word::OpenDocumentFormat) {}
    word::Selection& GetSelection() override { throw word::ServerError(4605, "Die Auswahl ist gesperrt."); }
};

class HiddenApplication : public word::FileApplication {
public:
    HiddenApplication() : FileApplication(&word::OpenDocumentFormat) {}
    void SetVisible(bool) override { throw word::AutomationError(5, "Zugriff verweigert"); }
};

class ViewerWordConnectionTest : public ::testing::Test {
protected:
    ViewerWordConnection::Factory countingFactory()
    {
        return [this] {
            ++created;
            return word::CreateFileApplication();
        };
    }
    word::FileApplication& fileApplication(ViewerWordConnection& connection)
    {
        return dynamic_cast<word::FileApplication&>(*connection.application());
    }

    test::TempTree tree;
    RecordingDisplay display;
    int created = 0;
};

TEST_F(ViewerWordConnectionTest, ShowsTheHitSelectedInEveryDocumentFormat)
{
    const std::string docx = test::WriteDocxParagraphs(tree, "brief.docx", {"Erste Zeile", "Größe und Treffer"});
    const std::string odt = test::WriteOdt(tree, "brief.odt", "<text:p>Erste Zeile</text:p><text:p>Größe und Treffer</text:p>");
    const std::string rtf = test::WriteRtf(tree, "brief.rtf", "Hallo Treffer da");
    ViewerWordConnection connection(countingFactory(), &display);

    for (const std::string& path : {docx, odt}) {
        ASSERT_EQ(connection.show(path, 22, 7), WordShowOutcome::Shown) << path;
        EXPECT_TRUE(display.visible);
        EXPECT_EQ(display.shown.fullName, path);
        EXPECT_EQ(display.shown.text, u"Erste Zeile\rGröße und Treffer\r") << path;
        EXPECT_EQ(display.selected(), u"Treffer") << path;
    }
    ASSERT_EQ(connection.show(rtf, 6, 7), WordShowOutcome::Shown);
    EXPECT_EQ(display.selected(), u"Treffer");
    // One connection served all three; each document replaced the one before.
    EXPECT_EQ(created, 1);
    EXPECT_EQ(fileApplication(connection).documentCount(), 1u);
}

TEST_F(ViewerWordConnectionTest, HiddenTextBeforeTheHitDoesNotShiftWhatIsSelected)
{
    // The hidden run counts nine character positions but is not shown.
    const std::string docx =
        test::WriteDocx(tree, "versteckt.docx",
                        "<w:p><w:r><w:t xml:space=\"preserve\">Sichtbar </w:t></w:r>"
                        "<w:r><w:rPr><w:vanish/></w:rPr><w:t>versteckt</w:t></w:r><w:r><w:t>Treffer</w:t></w:r></w:p>");
    ViewerWordConnection connection(countingFactory(), &display);
    ASSERT_EQ(connection.show(docx, 18, 7), WordShowOutcome::Shown);
    EXPECT_EQ(display.shown.text, u"Sichtbar Treffer\r");
    EXPECT_EQ(display.selected(), u"Treffer");
}

TEST_F(ViewerWordConnectionTest, TheActiveDocumentIsReusedAndWithoutAPositionKeepsItsSelection)
{
    const std::string docx = test::WriteDocxParagraphs(tree, "a.docx", {"eins zwei drei"});
    ViewerWordConnection connection(countingFactory(), &display);
    ASSERT_EQ(connection.show(docx, 5, 4), WordShowOutcome::Shown);
    word::Document* first = &connection.application()->ActiveDocument();
    ASSERT_EQ(connection.show(docx, std::nullopt, 0), WordShowOutcome::Shown);
    EXPECT_EQ(&connection.application()->ActiveDocument(), first);
    EXPECT_EQ(display.selected(), u"zwei");
    ASSERT_EQ(connection.show(docx, 10, 4), WordShowOutcome::Shown);
    EXPECT_EQ(display.selected(), u"drei");
    EXPECT_EQ(created, 1);
}

TEST_F(ViewerWordConnectionTest, AWriteProtectedDocumentIsShownToo)
{
    const std::string docx = test::WriteDocxParagraphs(tree, "fest.docx", {"nur lesen"});
    ASSERT_EQ(::chmod(docx.c_str(), 0444), 0);
    ViewerWordConnection connection(countingFactory(), &display);
    EXPECT_EQ(connection.show(docx, 4, 5), WordShowOutcome::Shown);
    EXPECT_EQ(display.selected(), u"lesen");
}

TEST_F(ViewerWordConnectionTest, NoWordProcessorMeansNoConnection)
{
    ViewerWordConnection throwing(
        []() -> std::unique_ptr<word::Application> { throw word::AutomationError(2, "nicht registriert"); }, &display);
    const std::string docx = test::WriteDocxParagraphs(tree, "a.docx", {"Text"});
    EXPECT_EQ(throwing.show(docx, 0, 4), WordShowOutcome::NoConnection);
    EXPECT_FALSE(throwing.isHeld());
    EXPECT_FALSE(display.visible);

    ViewerWordConnection none([] { return std::unique_ptr<word::Application>(); }, &display);
    EXPECT_EQ(none.show(docx, 0, 4), WordShowOutcome::NoConnection);
}

TEST_F(ViewerWordConnectionTest, AutomationErrorsFailTheShowingButKeepTheConnection)
{
    const std::string good = test::WriteDocxParagraphs(tree, "gut.docx", {"Text"});
    const std::string damaged = tree.write("kaputt.docx", std::string("PK\x03\x04 this is no archive", 23));
    ViewerWordConnection connection(countingFactory(), &display);
    ASSERT_EQ(connection.show(good, 0, 4), WordShowOutcome::Shown);
    // The good one was closed before the damaged one failed to open.
    EXPECT_EQ(connection.show(damaged, 0, 4), WordShowOutcome::Failed);
    EXPECT_FALSE(display.visible);
    EXPECT_TRUE(connection.isHeld());
    EXPECT_EQ(connection.show(good, 0, 4), WordShowOutcome::Shown);
    EXPECT_EQ(created, 1);

    ViewerWordConnection selection([] { return std::make_unique<BrokenSelectionApplication>(); }, &display);
    EXPECT_EQ(selection.show(good, 0, 4), WordShowOutcome::Failed);
    ViewerWordConnection hidden([] { return std::make_unique<HiddenApplication>(); }, &display);
    EXPECT_EQ(hidden.show(good, std::nullopt, 0), WordShowOutcome::Failed);
}

TEST_F(ViewerWordConnectionTest, AWordProcessorThatHasGoneIsStartedAgain)
{
    const std::string docx = test::WriteDocxParagraphs(tree, "a.docx", {"Text"});
    ViewerWordConnection connection(countingFactory(), &display);
    ASSERT_EQ(connection.show(docx, 0, 4), WordShowOutcome::Shown);
    connection.application()->Quit(false);  // ended behind the connection's back
    EXPECT_EQ(connection.show(docx, 0, 4), WordShowOutcome::Shown);
    EXPECT_EQ(created, 2);

    connection.quit();
    EXPECT_FALSE(connection.isHeld());
    EXPECT_FALSE(display.visible);
    connection.quit();  // nothing held: nothing happens
    EXPECT_EQ(connection.show(docx, 0, 4), WordShowOutcome::Shown);
    EXPECT_EQ(created, 3);
}

TEST(DocumentWindowTest, ShowsEveryCharacterInItsPlace)
{
    const std::u16string text = u"a\rb\vc\td\x07"
                                u"e\x1e"
                                u"f\x01"
                                u"g\x0c";
    const QString shown = DisplayedDocumentText(text);
    EXPECT_EQ(shown, QString::fromUtf8("a\nb\u2028c\td e\u2011f\uFFFCg\n"));
    EXPECT_EQ(DocumentWindowTitle("/home/anna/bericht.docx"), QStringLiteral("bericht.docx - Tarnwick"));
}

TEST(DocumentWindowTest, ShowsTheSelectionAndHidesWhenTheWordProcessorQuits)
{
    test::EnsureQtApp();
    DocumentWindow window;
    ShownDocument document{"/tmp/bericht.docx", u"Erste Zeile\rGröße und Treffer\r", 22, 29, {}};
    window.showDocument(document);
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(window.windowTitle(), QStringLiteral("bericht.docx - Tarnwick"));
    EXPECT_EQ(window.textView()->textCursor().selectedText(), QStringLiteral("Treffer"));
    EXPECT_TRUE(window.textView()->isReadOnly());
    window.hideDocument();
    EXPECT_FALSE(window.isVisible());
    EXPECT_TRUE(window.textView()->toPlainText().isEmpty());
}

}  // namespace
}  // namespace tarnwick::ui
