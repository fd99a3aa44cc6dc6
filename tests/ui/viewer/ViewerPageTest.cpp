#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/xattr.h>

#include <QAction>
#include <QCheckBox>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTextCursor>
#include <algorithm>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "platform/CodePage.h"
#include "settings/AppearanceSettings.h"
#include "settings/ProfileStore.h"
#include "tests/support/TempTree.h"
#include "tests/ui/support/QtApp.h"
#include "ui/viewer/ViewerEdit.h"
#include "ui/viewer/ViewerFindDialog.h"
#include "ui/viewer/ViewerPage.h"

namespace tarnwick::ui {
namespace {

using F = FrameCommand;
using namespace std::string_literals;

struct RecordingPrompts : ViewerPrompts {
    std::vector<std::string> shown;
    SaveAnswer saveAnswer = SaveAnswer::Cancel;
    bool askOpenLargeFile() override { return true; }
    SaveAnswer askSaveChanges(const QString&) override { return saveAnswer; }
    void showError(const QString& text) override { shown.push_back("error: " + text.toStdString()); }
    void showInformation(const QString& title, const QString& text) override
    {
        shown.push_back("info: " + title.toStdString() + "|" + text.toStdString());
    }
    void showExclamation(const QString& text) override { shown.push_back("exclamation: " + text.toStdString()); }
    void beep() override { shown.push_back("beep"); }
};

class ViewerPageTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        test::EnsureQtApp();
        page = std::make_unique<ViewerPage>(store, codePage, &prompts);
    }

    test::TempTree tree;
    settings::ProfileStore store{tree.path("Tarnwick.conf")};
    CodePage codePage{"UTF-8"};
    RecordingPrompts prompts;
    std::unique_ptr<ViewerPage> page;

    QString file(const char* name, const std::string& bytes) { return QString::fromStdString(tree.write(name, bytes)); }
    QString selected() const { return page->editor()->textCursor().selectedText(); }
    bool enabled(F id) const { return page->action(id)->isEnabled(); }
    void typeAtEnd(const QString& text)
    {
        QTextCursor cursor = page->editor()->textCursor();
        cursor.movePosition(QTextCursor::End);
        cursor.insertText(text);
        page->editor()->setTextCursor(cursor);
    }
};

TEST_F(ViewerPageTest, DisabledUntilAFileIsLoaded)
{
    EXPECT_FALSE(page->editor()->isEnabled());
    for (F id : {F::FileSave, F::FileSaveAs, F::FilePrint, F::FilePrintPreview, F::Paste, F::FindNext})
        EXPECT_FALSE(enabled(id)) << static_cast<int>(id);

    ASSERT_TRUE(page->openFile(file("a.txt", "text")));
    EXPECT_TRUE(page->editor()->isEnabled());
    EXPECT_FALSE(enabled(F::Undo));  // loading is not an edit
    for (F id : {F::FileSave, F::FileSaveAs, F::FilePrint, F::FilePrintPreview}) EXPECT_TRUE(enabled(id)) << static_cast<int>(id);
    EXPECT_FALSE(enabled(F::FindNext));  // no find yet
    page->findNext();  // nothing to find: asks for a text, not a find
    EXPECT_FALSE(enabled(F::FindNext));
}

TEST_F(ViewerPageTest, AResultSelectsExactlyTheHitAndReportsTheCaret)
{
    // A byte-order mark, CR LF and multi-byte characters before the hit.
    const std::string bytes = "\xEF\xBB\xBF"
                              "gr\xC3\xBC\xC3\x9F"
                              "e\r\n\xF0\x9F\x98\x80 x = Treffer;\r\n";
    std::vector<std::pair<int, int>> carets;
    QObject::connect(page.get(), &ViewerPage::caretMoved, [&](int line, int column) { carets.emplace_back(line, column); });
    ASSERT_TRUE(page->openForResult(file("hit.txt", bytes), static_cast<std::int64_t>(bytes.find("Treffer")), 7, 1000));
    EXPECT_EQ(selected(), QStringLiteral("Treffer"));
    ASSERT_FALSE(carets.empty());
    EXPECT_EQ(carets.back(), std::make_pair(1, 7));  // the emoji counts two units, as the editor does
}

TEST_F(ViewerPageTest, SavingUnchangedIsByteIdenticalAndEditsKeepTheLineEnds)
{
    const std::string bytes = std::string("\xEF\xBB\xBFmixed\r\nlone\rcr\r\nnul\0byte\r\n\xFF no end", 39);
    const QString path = file("mixed.txt", bytes);
    ::chmod(path.toLocal8Bit().constData(), 0640);
    ASSERT_TRUE(page->openFile(path));
    EXPECT_EQ(page->fileFormat().encoding, ViewerEncoding::BytePerChar);  // 0xFF is not UTF-8
    ASSERT_TRUE(page->save());
    EXPECT_EQ(test::ReadFile(path.toStdString()), bytes);
    struct stat st {};
    ASSERT_EQ(::stat(path.toLocal8Bit().constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);

    typeAtEnd(QStringLiteral("\nneu"));
    ASSERT_TRUE(page->save());
    EXPECT_EQ(test::ReadFile(path.toStdString()), bytes + "\r\nneu");
}

// A UTF-16 file was shown one character per byte ("ÿþ" and boxes), and an
// appended "X" was saved as the single byte 0x58, leaving invalid UTF-16.
TEST_F(ViewerPageTest, Utf16AndMarkedUtf8AreEditedAsTextAndSavedInTheirOwnEncoding)
{
    struct Case {
        const char* name;
        std::string bytes;
        QString shown;
        std::string appended;  // "X", a line end and "€" in the file's encoding
    };
    // In octal, so that no escape runs into the letter after it.
    const Case cases[] = {
        {"bom.txt", "\357\273\277a\303\244\r\nb"s, QString::fromUtf8("aä\nb"), "X\r\n\342\202\254"s},
        {"le.txt", "\377\376a\0\344\0\r\0\n\0b\0"s, QString::fromUtf8("aä\nb"), "X\0\r\0\n\0\254\040"s},
        {"be.txt", "\376\377\0a\0\344\0\n\0b"s, QString::fromUtf8("aä\nb"), "\0X\0\n\040\254"s},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QString path = file(c.name, c.bytes);
        ASSERT_TRUE(page->openFile(path));
        EXPECT_EQ(page->text(), c.shown);
        EXPECT_EQ(page->readOnlyReason(), ReadOnlyReason::None);
        EXPECT_FALSE(page->readOnlyNote()->isVisibleTo(page.get()));
        ASSERT_TRUE(page->save());
        EXPECT_EQ(test::ReadFile(path.toStdString()), c.bytes) << "unchanged: byte-identical";

        typeAtEnd(QString::fromUtf8("X\n€"));
        ASSERT_TRUE(page->save());
        EXPECT_EQ(test::ReadFile(path.toStdString()), c.bytes + c.appended);
        EXPECT_TRUE(prompts.shown.empty());
    }
    // Half a surrogate pair (pasted, say) would make the UTF-16 file invalid.
    typeAtEnd(QString(QChar(0xD800)));
    EXPECT_FALSE(page->save());
    EXPECT_EQ(prompts.shown.size(), 1u);
    EXPECT_EQ(test::ReadFile(tree.path("be.txt")), cases[2].bytes + cases[2].appended);
}

TEST_F(ViewerPageTest, AHitInAUtf16FileSelectsItsCharacters)
{
    // The engine reports UTF-16 hits in bytes of the file, the mark included.
    const std::string bytes = "\xFF\xFE"
                              "\x3D\xD8\x00\xDE\r\0\n\0h\0i\0t\0"s;
    ASSERT_TRUE(page->openForResult(file("hit16.txt", bytes), 10, 6, 1000));
    EXPECT_EQ(selected(), QStringLiteral("hit"));
}

// Bytes the viewer cannot show as they are must never go back to the file
// changed: such a file is shown, marked read-only, and cannot be saved.
TEST_F(ViewerPageTest, AUtf16FileThatCannotComeBackUnchangedIsReadOnly)
{
    const std::string bytes = "\xFF\xFE"
                              "o\0k\0\x41"s;  // an odd final byte
    const QString path = file("odd.txt", bytes);
    ASSERT_TRUE(page->openFile(path));
    EXPECT_EQ(page->text(), QString::fromUtf8("ok\uFFFD"));
    EXPECT_EQ(page->readOnlyReason(), ReadOnlyReason::OddFinalByte);
    ASSERT_TRUE(page->readOnlyNote()->isVisibleTo(page.get()));
    EXPECT_TRUE(page->readOnlyNote()->text().startsWith(QStringLiteral("Nur lesen: Die Datei ist als UTF-16 gekennzeichnet")));
    for (F id : {F::FileSave, F::FileSaveAs, F::Paste}) EXPECT_FALSE(enabled(id)) << static_cast<int>(id);

    // Typing, pasting, Shift+Enter and the replace buttons all leave the text alone.
    QTest::keyClicks(page->editor(), QStringLiteral("typed"));
    QTest::keyClick(page->editor(), Qt::Key_Return, Qt::ShiftModifier);
    QMimeData plain;
    plain.setText(QStringLiteral("pasted"));
    struct Probe : ViewerEdit {
        using ViewerEdit::insertFromMimeData;
    };
    static_cast<Probe*>(page->editor())->insertFromMimeData(&plain);
    page->setFindDefaults([] { return ViewerFindOptions{QStringLiteral("ok"), QStringLiteral("no")}; });
    page->showFindDialog(true);
    page->replaceAll();
    EXPECT_EQ(page->text(), QString::fromUtf8("ok\uFFFD"));
    EXPECT_FALSE(page->save());
    EXPECT_EQ(test::ReadFile(path.toStdString()), bytes);
    ASSERT_FALSE(prompts.shown.empty());
    EXPECT_NE(prompts.shown.back().find("Nur lesen"), std::string::npos) << prompts.shown.back();

    // The next file is editable again.
    ASSERT_TRUE(page->openFile(file("fine.txt",
                                    "\xFF\xFE"
                                    "o\0k\0"s)));
    EXPECT_FALSE(page->readOnlyNote()->isVisibleTo(page.get()));
    EXPECT_FALSE(page->editor()->isReadOnly());
    EXPECT_TRUE(enabled(F::FileSave));
}

TEST_F(ViewerPageTest, AFileFromInsideAnArchiveIsShownReadOnlyWithItsHitSelected)
{
    int reads = 0;
    const auto readFile = [&reads] {
        ++reads;
        return ViewerInnerRead{QByteArray("one gr\xC3\xBC\xC3\x9F"
                                          "e hit\n"),
                               false,
                               {}};
    };
    const QString name = QString::fromUtf8("/x/a.zip » b.tar.gz » c.txt");
    ASSERT_TRUE(page->openInnerForResult(name, readFile, 4, 7, 1000));  // bytes of "grüße"
    EXPECT_EQ(selected(), QString::fromUtf8("grüße"));
    EXPECT_EQ(page->currentPath(), name);
    EXPECT_EQ(page->readOnlyReason(), ReadOnlyReason::InsideFile);
    ASSERT_TRUE(page->readOnlyNote()->isVisibleTo(page.get()));
    EXPECT_TRUE(page->readOnlyNote()->text().startsWith(QString::fromUtf8("Nur lesen (schreibgeschützt, aus dem Archiv)")));
    for (F id : {F::FileSave, F::FileSaveAs, F::Paste, F::Cut, F::Undo}) EXPECT_FALSE(enabled(id)) << static_cast<int>(id);
    QTest::keyClicks(page->editor(), QStringLiteral("typed"));
    page->setFindDefaults([] { return ViewerFindOptions{QStringLiteral("hit"), QStringLiteral("no")}; });
    page->showFindDialog(true);
    page->replaceAll();
    EXPECT_FALSE(page->save());
    EXPECT_EQ(page->text(), QString::fromUtf8("one grüße hit\n"));
    // Another hit in the same file is not read again.
    ASSERT_TRUE(page->openInnerForResult(name, readFile, 0, 3, 1000));
    EXPECT_EQ(reads, 1);
    EXPECT_EQ(selected(), QStringLiteral("one"));

    // A page's text counts characters, one beyond the BMP as one.
    const auto readPage = [] {
        return ViewerInnerRead{QByteArray("Seite mit \xF0\x9F\x98\x80 und Gr\xC3\xB6\xC3\x9F"
                                          "e"),
                               true,
                               {}};
    };
    ASSERT_TRUE(page->openInnerForResult(QString::fromUtf8("/x/r.pdf » Seite 2"), readPage, 16, 5, 1000));
    EXPECT_EQ(selected(), QString::fromUtf8("Größe"));
    EXPECT_TRUE(page->editor()->isReadOnly());

    const auto failing = [] { return ViewerInnerRead{std::nullopt, false, QStringLiteral("kaputt")}; };
    EXPECT_FALSE(page->openInnerForResult(QString::fromUtf8("/x/b.zip » d.txt"), failing, 0, 1, 1000));
    EXPECT_EQ(prompts.shown.back(), "error: kaputt");
}

// A save goes through the program's one commit: a second hard link still
// names the saved file, and an extended attribute stays.
TEST_F(ViewerPageTest, SavingKeepsTheFilesOtherNamesAndAttributes)
{
    const QString path = file("linked.txt", "old");
    const std::string second = tree.path("second-name.txt");
    ASSERT_EQ(::link(path.toLocal8Bit().constData(), second.c_str()), 0);
    const bool attributes = ::setxattr(path.toLocal8Bit().constData(), "user.origin", "kept", 4, 0) == 0;
    ASSERT_TRUE(page->openFile(path));
    typeAtEnd(QStringLiteral(" new"));
    ASSERT_TRUE(page->save());
    EXPECT_EQ(test::ReadFile(second), "old new");
    char value[8] = {};
    if (attributes) EXPECT_EQ(::getxattr(path.toLocal8Bit().constData(), "user.origin", value, sizeof value), 4);
}

TEST_F(ViewerPageTest, ACharacterTheFileCannotHoldRefusesTheSave)
{
    const QString path = file("latin1.txt", "caf\xE9\n");
    ASSERT_TRUE(page->openFile(path));
    typeAtEnd(QString(QChar(0x20AC)));
    EXPECT_FALSE(page->save());
    ASSERT_EQ(prompts.shown.size(), 1u);
    EXPECT_NE(prompts.shown[0].find("Zeile 2, Spalte 1"), std::string::npos) << prompts.shown[0];
    EXPECT_EQ(test::ReadFile(path.toStdString()), "caf\xE9\n");
    EXPECT_EQ(selected(), QString(QChar(0x20AC)));
}

TEST_F(ViewerPageTest, AFailedSaveKeepsTheOldFile)
{
    const std::string dir = tree.mkdir("locked");
    const QString path = QString::fromStdString(tree.write("locked/a.txt", "old"));
    ASSERT_TRUE(page->openFile(path));
    typeAtEnd(QStringLiteral(" new"));
    ::chmod(dir.c_str(), 0500);
    const bool saved = page->save();
    ::chmod(dir.c_str(), 0700);
    // A path below a regular file cannot be written by anyone.
    EXPECT_FALSE(page->saveTo(path + QStringLiteral("/below.txt")));
    EXPECT_EQ(prompts.shown.size(), saved ? 1u : 2u);
    EXPECT_EQ(test::ReadFile(path.toStdString()), saved ? "old new" : "old");
    if (::geteuid() == 0) GTEST_SKIP() << "root writes into any directory";
    EXPECT_FALSE(saved);
    EXPECT_EQ(prompts.shown[0].rfind("error: Die Datei", 0), 0u);
}

TEST_F(ViewerPageTest, AWriteProtectedFileIsNotReplaced)
{
    const QString path = file("ro.txt", "old");
    ::chmod(path.toLocal8Bit().constData(), 0444);
    ASSERT_TRUE(page->openFile(path));
    typeAtEnd(QStringLiteral(" new"));
    EXPECT_FALSE(page->save());
    ASSERT_EQ(prompts.shown.size(), 1u);
    EXPECT_EQ(test::ReadFile(path.toStdString()), "old");
}

TEST_F(ViewerPageTest, SaveAsWritesTheNewFileAndTakesItsName)
{
    ASSERT_TRUE(page->openFile(file("a.txt", "a\r\nb")));
    const QString target = QString::fromStdString(tree.path("b.txt"));
    page->setSaveAsChooser([&](const QString&) { return target; });
    ASSERT_TRUE(page->saveAs());
    EXPECT_EQ(page->currentPath(), target);
    EXPECT_EQ(test::ReadFile(target.toStdString()), "a\r\nb");
}

TEST_F(ViewerPageTest, ANewDocumentKeepsUnsavedChangesOnCancelAndIsSavedUnderANewName)
{
    const QString path = file("a.txt", "old");
    ASSERT_TRUE(page->openFile(path));
    typeAtEnd(QStringLiteral(" edited"));
    EXPECT_FALSE(page->newDocument());  // the question about the changes was cancelled
    EXPECT_EQ(page->currentPath(), path);

    prompts.saveAnswer = SaveAnswer::Discard;
    page->action(F::FileNew)->trigger();
    EXPECT_TRUE(page->isLoaded());
    EXPECT_TRUE(page->currentPath().isEmpty());
    EXPECT_TRUE(page->text().isEmpty());
    EXPECT_TRUE(page->editor()->isEnabled());
    EXPECT_EQ(test::ReadFile(path.toStdString()), "old");

    // "Speichern" of a document without a file asks for its name.
    typeAtEnd(QStringLiteral("neu"));
    const QString target = QString::fromStdString(tree.path("neu.txt"));
    page->setSaveAsChooser([&](const QString&) { return target; });
    ASSERT_TRUE(page->save());
    EXPECT_EQ(page->currentPath(), target);
    EXPECT_EQ(test::ReadFile(target.toStdString()), "neu");
}

TEST_F(ViewerPageTest, FindNextMessagesAndTheFindDoneFlag)
{
    ASSERT_TRUE(page->openFile(file("a.txt", "eins zwei eins")));
    page->setFindDefaults([] {
        ViewerFindOptions o;
        o.findText = QStringLiteral("eins");
        return o;
    });
    page->showFindDialog(false);
    page->findNext();
    EXPECT_EQ(selected(), QStringLiteral("eins"));
    EXPECT_EQ(page->editor()->textCursor().selectionStart(), 0);
    EXPECT_TRUE(enabled(F::FindNext));
    page->findNext();
    EXPECT_EQ(page->editor()->textCursor().selectionStart(), 10);

    page->findDialog()->findField()->setText(QStringLiteral("drei"));
    page->findNext();
    page->findDialog()->regexBox()->setChecked(true);
    page->findNext();
    page->findDialog()->findField()->setText(QStringLiteral("(drei"));
    page->findNext();
    page->findDialog()->findField()->clear();
    page->findNext();
    ASSERT_EQ(prompts.shown.size(), 5u);
    EXPECT_EQ(prompts.shown[0], "info: |Kann \"drei\" nicht finden");
    EXPECT_EQ(prompts.shown[1], "beep");
    EXPECT_EQ(prompts.shown[2], "info: Notepad RE|Cannot find \"drei\"");
    EXPECT_EQ(prompts.shown[3].rfind("exclamation: ", 0), 0u);
    EXPECT_EQ(prompts.shown[4], "info: |Kein Suchstring definiert.");
}

TEST_F(ViewerPageTest, TheFindDialogTakesTheFormValuesAndHidesReplaceParts)
{
    ASSERT_TRUE(page->openFile(file("a.txt", "x")));
    ViewerFindOptions form;
    form.findText = QStringLiteral("muster");
    form.replaceText = QStringLiteral("ersatz");
    form.regularExpression = true;
    form.matchCase = true;
    page->setFindDefaults([&] { return form; });

    page->showFindDialog(true);
    ViewerFindDialog* dialog = page->findDialog();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("Ersetzen"));
    EXPECT_EQ(dialog->replaceField()->text(), QStringLiteral("ersatz"));
    EXPECT_FALSE(dialog->wholeWordBox()->isEnabled());  // while "Regulärer Ausdruck" is marked
    EXPECT_TRUE(dialog->matchCaseBox()->isChecked());
    EXPECT_FALSE(dialog->replaceButton()->isHidden());

    dialog->upButton()->setChecked(true);
    dialog->regexBox()->setChecked(false);
    page->findNext();  // the direction of this find is kept for the next opening
    form.findText = QStringLiteral("anders");
    page->showFindDialog(false);
    EXPECT_EQ(page->findDialog(), dialog);  // refilled, not a second dialog
    EXPECT_EQ(dialog->findField()->text(), QStringLiteral("anders"));
    EXPECT_TRUE(dialog->upButton()->isChecked());
    EXPECT_TRUE(dialog->wholeWordBox()->isEnabled() == !dialog->regexBox()->isChecked());
    EXPECT_TRUE(dialog->replaceButton()->isHidden());
    EXPECT_TRUE(dialog->replaceField()->isHidden());
    EXPECT_TRUE(dialog->replaceAllButton()->isHidden());
}

// A user's trial: Ctrl+F ("Suchen...") opened a dialog titled "Ersetzen".
TEST_F(ViewerPageTest, TheFindDialogIsTitledAfterTheCommandThatOpenedIt)
{
    ASSERT_TRUE(page->openFile(file("a.txt", "x")));
    page->showFindDialog(false);
    ViewerFindDialog* dialog = page->findDialog();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->windowTitle().toStdString(), "Suchen");
    page->showFindDialog(true);
    EXPECT_EQ(dialog->windowTitle().toStdString(), "Ersetzen");
    page->showFindDialog(false);  // refilled while open
    EXPECT_EQ(dialog->windowTitle().toStdString(), "Suchen");
}

TEST_F(ViewerPageTest, ReplaceMovesOnAndReplaceAllIsOneUndo)
{
    ASSERT_TRUE(page->openFile(file("a.txt", "ab ab ab")));
    ViewerFindOptions o;
    o.findText = QStringLiteral("ab");
    o.replaceText = QStringLiteral("X");
    page->setFindDefaults([&] { return o; });
    page->showFindDialog(true);
    page->replaceOnce();  // empty selection: nothing replaced, the first match selected
    EXPECT_EQ(page->text(), QStringLiteral("ab ab ab"));
    EXPECT_EQ(page->editor()->textCursor().selectionStart(), 0);
    page->replaceOnce();
    EXPECT_EQ(page->text(), QStringLiteral("X ab ab"));
    EXPECT_EQ(page->editor()->textCursor().selectionStart(), 2);

    page->replaceAll();
    EXPECT_EQ(page->text(), QStringLiteral("X X X"));
    page->editor()->undo();
    EXPECT_EQ(page->text(), QStringLiteral("X ab ab"));
}

TEST_F(ViewerPageTest, GoToCountsFromOneAndStaysInsideTheText)
{
    ASSERT_TRUE(page->openFile(file("a.txt", "one\ntwo\nthree")));
    page->goTo(1, 1);
    EXPECT_EQ(page->editor()->textCursor().position(), 0);
    page->goTo(2, 3);
    EXPECT_EQ(page->editor()->textCursor().position(), 6);
    page->goTo(1000, 1000);
    EXPECT_EQ(page->editor()->textCursor().position(), 13);
    page->goTo(0, -5);
    EXPECT_EQ(page->editor()->textCursor().position(), 0);
}

TEST_F(ViewerPageTest, PastesPlainTextOnlyAndHasTheContextMenuEntries)
{
    QMimeData html;
    html.setHtml(QStringLiteral("<b>x</b>"));
    html.removeFormat(QStringLiteral("text/plain"));
    QMimeData plain;
    plain.setText(QStringLiteral("x"));
    struct Probe : ViewerEdit {
        using ViewerEdit::canInsertFromMimeData;
    };
    const auto* edit = static_cast<Probe*>(page->editor());
    EXPECT_FALSE(edit->canInsertFromMimeData(&html));
    EXPECT_TRUE(edit->canInsertFromMimeData(&plain));

    QStringList texts;
    for (QAction* act : page->contextMenu()->actions()) texts << (act->isSeparator() ? QStringLiteral("-") : act->text());
    EXPECT_EQ(texts,
              (QStringList{"&Rückgängig", "-", "&Ausschneiden", "&Kopieren", "&Einfügen", "&Löschen", "-", "Alles &markieren",
                           "-", "&Suchen...\tStrg+F", "&Ersetzen\tStrg+H", "&Weitersuchen", "&Gehe zu...\tStrg+G"}));
}

// Big files reach the editor with many lines per block; nothing of that may
// show in positions, lines, saving or replacing.
TEST_F(ViewerPageTest, JoinedLinesBehaveLikeOneBlockPerLine)
{
    page->setLineJoinThreshold(1);
    std::string bytes;
    for (int i = 1; i <= 150; ++i) bytes += "Zeile " + std::to_string(i) + "\r\n";
    const QString path = file("big.txt", bytes);
    ASSERT_TRUE(page->openForResult(path, static_cast<std::int64_t>(bytes.find("Zeile 130")), 9, 1 << 20));
    ASSERT_TRUE(page->hasJoinedLines());
    EXPECT_EQ(selected(), QStringLiteral("Zeile 130"));
    EXPECT_EQ(page->lineAndColumnOf(page->editor()->textCursor().selectionStart()), std::make_pair(129, 0));
    page->goTo(100, 3);
    EXPECT_EQ(page->lineAndColumnOf(page->editor()->textCursor().position()), std::make_pair(99, 2));
    page->goTo(100000, 1);
    EXPECT_EQ(page->lineAndColumnOf(page->editor()->textCursor().position()).first, 150);  // the empty last line

    page->goTo(65, 1);
    page->editor()->textCursor().insertText(QStringLiteral("neu\n"));
    EXPECT_EQ(page->lineAndColumnOf(page->editor()->textCursor().position()), std::make_pair(65, 0));
    ASSERT_TRUE(page->save());
    std::string expected = bytes;
    expected.insert(bytes.find("Zeile 65"), "neu\r\n");
    EXPECT_EQ(test::ReadFile(path.toStdString()), expected);

    ViewerFindOptions o;
    o.findText = QStringLiteral("Zeile");
    o.replaceText = QStringLiteral("Z");
    page->setFindDefaults([&] { return o; });
    page->showFindDialog(true);
    page->replaceAll();
    EXPECT_TRUE(page->text().startsWith(QStringLiteral("Z 1\nZ 2\n")));
    EXPECT_EQ(page->text().count(QLatin1Char('\n')), 151);
    page->editor()->undo();
    EXPECT_EQ(page->text().count(QStringLiteral("Zeile")), 150);
}

// The finder's copy follows each edit instead of being copied anew; after
// random typing, deleting, line breaks, undo, redo and replace all it must
// still be exactly the editor's text, in both kinds of line storage.
TEST_F(ViewerPageTest, TheFindersCopyFollowsEveryEdit)
{
    constexpr qsizetype kNeverJoin = qsizetype(1) << 40;
    prompts.saveAnswer = SaveAnswer::Discard;  // the second file replaces the edited first one
    for (const bool joined : {false, true}) {
        SCOPED_TRACE(joined ? "joined lines" : "one block per line");
        page->setLineJoinThreshold(joined ? 1 : kNeverJoin);
        std::string bytes;
        for (int i = 1; i <= 40; ++i) bytes += "Zeile " + std::to_string(i) + " mit \xC3\xA4 und \xF0\x9F\x98\x80\n";
        ASSERT_TRUE(page->openFile(file(joined ? "j.txt" : "b.txt", bytes)));
        ASSERT_EQ(page->hasJoinedLines(), joined);
        QPlainTextEdit* edit = page->editor();
        std::mt19937 random(joined ? 7 : 11);
        const QString inserts[] = {QStringLiteral("x"), QStringLiteral("\n"), QStringLiteral("ab\ncd\nef"),
                                   QStringLiteral("\u00e4"), QStringLiteral("\U0001F600")};
        for (int round = 0; round < 300; ++round) {
            page->text();  // makes the copy valid, so that the edit is followed
            QTextCursor cursor(edit->document());
            const int size = edit->document()->characterCount() - 1;
            const int at = static_cast<int>(random() % static_cast<unsigned>(size + 1));
            cursor.setPosition(at);
            switch (random() % 6) {
            case 0:
            case 1: cursor.insertText(inserts[random() % std::size(inserts)]); break;
            case 2:
                cursor.setPosition(std::min(size, at + static_cast<int>(random() % 12)), QTextCursor::KeepAnchor);
                cursor.removeSelectedText();
                break;
            case 3: edit->undo(); break;
            case 4: edit->redo(); break;
            default:
                cursor.movePosition(QTextCursor::End);
                cursor.insertText(QStringLiteral("Ende"));
                break;
            }
            QString fresh = edit->document()->toPlainText();
            ASSERT_EQ(page->text(), fresh) << "after round " << round;
        }
        ViewerFindOptions o;
        o.findText = QStringLiteral("Zeile");
        o.replaceText = QStringLiteral("Z\nZ");
        page->setFindDefaults([&] { return o; });
        page->showFindDialog(true);
        page->replaceAll();
        EXPECT_EQ(page->text(), edit->document()->toPlainText());
        edit->undo();
        EXPECT_EQ(page->text(), edit->document()->toPlainText());
    }
}

TEST_F(ViewerPageTest, AFileWithLineSeparatorsOfItsOwnKeepsOneBlockPerLine)
{
    page->setLineJoinThreshold(1);
    const std::string bytes = "a\xE2\x80\xA8"
                              "b\nc\nd\n";
    const QString path = file("sep.txt", bytes);
    ASSERT_TRUE(page->openFile(path));
    EXPECT_FALSE(page->hasJoinedLines());
    ASSERT_TRUE(page->save());
    EXPECT_EQ(test::ReadFile(path.toStdString()), bytes);
}

TEST_F(ViewerPageTest, PrintsWithHalfInchMargins)
{
    ASSERT_TRUE(page->openFile(file("a.txt", "eine Zeile zum Drucken\n")));
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    const QString pdf = QString::fromStdString(tree.path("out.pdf"));
    printer.setOutputFileName(pdf);
    page->printDocument(&printer);
    EXPECT_EQ(printer.pageLayout().margins(QPageLayout::Inch), QMarginsF(0.5, 0.5, 0.5, 0.5));
    EXPECT_GT(QFileInfo(pdf).size(), 0);
}

TEST_F(ViewerPageTest, WritesItsSettingsWhenDestroyed)
{
    EXPECT_TRUE(page->wordWrap());
    page->setWordWrap(false);
    EXPECT_FALSE(page->action(F::WordWrap)->isChecked());
    QFont font(QStringLiteral("DejaVu Sans Mono"));
    font.setPixelSize(20);
    font.setBold(true);
    page->applyFont(font);
    page.reset();
    EXPECT_EQ(store.GetProfileInt("Einstellungen", "Zeilenumbruch", 7), 0u);
    EXPECT_EQ(static_cast<std::int32_t>(store.GetProfileInt("Schriftart", "Höhe", 0)), -20);
    EXPECT_EQ(store.GetProfileInt("Schriftart", "Dicke", 0), 700u);
    EXPECT_EQ(store.GetProfileString("Schriftart", "Art"), "DejaVu Sans Mono");
    // Unchanged values are not written.
    EXPECT_EQ(store.GetProfileInt("Schriftart", "Kursiv", 99), 99u);
}

TEST_F(ViewerPageTest, AStoredHeightOfZeroKeepsTheDefaultFont)
{
    page.reset();
    store.WriteProfileInt("Schriftart", "Höhe", 0);
    store.WriteProfileString("Schriftart", "Art", "Nonexistent Face");
    const QFont defaultFont = ViewerEdit().font();
    page = std::make_unique<ViewerPage>(store, codePage, &prompts);
    EXPECT_EQ(page->editor()->font(), defaultFont);
    page.reset();
    EXPECT_EQ(store.GetProfileString("Schriftart", "Art"), "Nonexistent Face");
}

}  // namespace
}  // namespace tarnwick::ui
