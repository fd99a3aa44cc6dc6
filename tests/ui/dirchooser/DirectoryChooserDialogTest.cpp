// The chooser dialog's wiring on the offscreen platform, over an in-memory
// tree: preset selection, OK, lazy reading, in-place renaming, a vanished folder.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <memory>

#include "tests/ui/support/QtApp.h"
#include "ui/dirchooser/DirectoryChooserDialog.h"
#include "ui/dirchooser/DirectoryChooserMemoryAccess.h"

namespace tarnwick::ui {
namespace {

// Several rounds: a committed edit posts the rename, which posts its message.
void drainEvents()
{
    for (int round = 0; round < 4; ++round) {
        QCoreApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}

QTreeWidgetItem* childNamed(QTreeWidgetItem* parent, const QString& text)
{
    for (int i = 0; parent && i < parent->childCount(); ++i)
        if (parent->child(i)->text(0) == text) return parent->child(i);
    return nullptr;
}

QLineEdit* openEditor(QTreeWidget* tree)
{
    drainEvents();
    for (QLineEdit* edit : tree->findChildren<QLineEdit*>())
        if (edit->isVisible()) return edit;
    return nullptr;
}

class DirectoryChooserDialogTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        test::EnsureQtApp();
        access = std::make_shared<MemoryDirectoryChooserAccess>(std::vector<std::string>{"/", "/home/anna"});
        for (const char* path : {"/etc", "/home/anna/Musik", "/home/anna/Projekte/Demo/src", "/home/anna/Bilder"})
            access->addDirectory(path);
    }

    std::unique_ptr<DirectoryChooserDialog> open(const QString& preset)
    {
        auto dialog = std::make_unique<DirectoryChooserDialog>(preset, access);
        dialog->setMessageSink([this](QMessageBox::Icon, const QString& text) { messages << text; });
        return dialog;
    }

    QTreeWidgetItem* home(DirectoryChooserDialog& dialog) { return dialog.tree()->topLevelItem(0)->child(1); }

    std::shared_ptr<MemoryDirectoryChooserAccess> access;
    QStringList messages;
};

TEST_F(DirectoryChooserDialogTest, PresetInAnotherCaseIsSelectedAndOkReturnsItsPath)
{
    auto dialog = open(QStringLiteral("/HOME/anna/projekte/DEMO/"));
    QTreeWidgetItem* current = dialog->tree()->currentItem();
    ASSERT_NE(current, nullptr);
    EXPECT_TRUE(current->isSelected());
    EXPECT_EQ(current->text(0), QStringLiteral("Demo"));
    EXPECT_EQ(current->parent()->parent(), home(*dialog));  // below the home, not below "/"

    QPushButton* ok = nullptr;
    for (QPushButton* button : dialog->findChildren<QPushButton*>())
        if (button->text() == QStringLiteral("OK")) ok = button;
    ASSERT_NE(ok, nullptr);
    QTest::mouseClick(ok, Qt::LeftButton);
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    EXPECT_EQ(dialog->chosenPath(), QStringLiteral("/home/anna/Projekte/Demo"));
    EXPECT_TRUE(messages.isEmpty());

    auto root = open(QStringLiteral("/"));
    root->accept();
    EXPECT_EQ(root->chosenPath(), QStringLiteral("/"));
}

TEST_F(DirectoryChooserDialogTest, OkWithoutAFolderKeepsTheDialogOpen)
{
    auto dialog = open(QString());
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("Verzeichnis wählen"));
    EXPECT_TRUE(dialog->tree()->selectedItems().isEmpty());
    dialog->accept();
    dialog->tree()->setCurrentItem(dialog->tree()->topLevelItem(0));
    dialog->accept();
    EXPECT_NE(dialog->result(), QDialog::Accepted);
    EXPECT_EQ(messages, QStringList(2, QStringLiteral("Bitte wählen Sie ein gültiges Verzeichnis")));
}

TEST_F(DirectoryChooserDialogTest, FoldersAreReadOnceWhenFirstOpened)
{
    auto dialog = open(QString());
    QTreeWidgetItem* homeItem = home(*dialog);
    EXPECT_EQ(homeItem->childIndicatorPolicy(), QTreeWidgetItem::ShowIndicator);
    EXPECT_EQ(access->fullListings("/home/anna"), 0);

    homeItem->setExpanded(true);
    ASSERT_EQ(homeItem->childCount(), 3);
    EXPECT_EQ(homeItem->child(0)->text(0), QStringLiteral("Bilder"));
    EXPECT_EQ(childNamed(homeItem, "Projekte")->childIndicatorPolicy(), QTreeWidgetItem::ShowIndicator);
    EXPECT_EQ(childNamed(homeItem, "Musik")->childIndicatorPolicy(), QTreeWidgetItem::DontShowIndicator);

    homeItem->setExpanded(false);
    access->addDirectory("/home/anna/Neu");
    homeItem->setExpanded(true);
    EXPECT_EQ(access->fullListings("/home/anna"), 1);
    EXPECT_EQ(childNamed(homeItem, "Neu"), nullptr);
}

TEST_F(DirectoryChooserDialogTest, F2RenamesInPlaceAndEnterDoesNotCloseTheDialog)
{
    auto dialog = open(QStringLiteral("/home/anna/Musik"));
    dialog->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(dialog.get()));
    QTreeWidget* tree = dialog->tree();
    QTreeWidgetItem* musik = tree->currentItem();

    QTest::keyClick(tree, Qt::Key_F2);
    QLineEdit* editor = openEditor(tree);
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->maxLength(), 255);
    editor->setText(QStringLiteral("Klänge"));
    QTest::keyClick(editor, Qt::Key_Return);
    drainEvents();

    EXPECT_TRUE(dialog->isVisible());
    EXPECT_NE(dialog->result(), QDialog::Accepted);
    EXPECT_TRUE(access->exists("/home/anna/Klänge"));
    EXPECT_FALSE(access->exists("/home/anna/Musik"));
    EXPECT_EQ(musik->text(0), QStringLiteral("Klänge"));
    EXPECT_EQ(dialog->pathOf(musik), QStringLiteral("/home/anna/Klänge"));

    // A refused name keeps the folder and its label.
    QTest::keyClick(tree, Qt::Key_F2);
    editor = openEditor(tree);
    ASSERT_NE(editor, nullptr);
    editor->setText(QStringLiteral("a:b"));
    QTest::keyClick(editor, Qt::Key_Return);
    drainEvents();
    EXPECT_EQ(messages, QStringList(QStringLiteral("Ungültiger Dateiname")));
    EXPECT_EQ(musik->text(0), QStringLiteral("Klänge"));

    // Escape cancels the edit, not the dialog.
    QTest::keyClick(tree, Qt::Key_F2);
    editor = openEditor(tree);
    ASSERT_NE(editor, nullptr);
    editor->setText(QStringLiteral("Verworfen"));
    QTest::keyClick(editor, Qt::Key_Escape);
    drainEvents();
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(musik->text(0), QStringLiteral("Klänge"));
    EXPECT_FALSE(access->exists("/home/anna/Verworfen"));

    // Top-level folders are not renamed.
    tree->setCurrentItem(home(*dialog));
    QTest::keyClick(tree, Qt::Key_F2);
    EXPECT_EQ(openEditor(tree), nullptr);
    EXPECT_TRUE(dialog->isVisible());
}

TEST_F(DirectoryChooserDialogTest, VanishedFolderIsReportedAndTakenOutOfTheTree)
{
    auto dialog = open(QStringLiteral("/home/anna"));
    QTreeWidgetItem* homeItem = home(*dialog);
    access->removeDirectory("/home/anna/Projekte");
    childNamed(homeItem, "Projekte")->setExpanded(true);
    drainEvents();
    EXPECT_EQ(messages, QStringList(QStringLiteral("Das Verzeichnis ist nicht mehr vorhanden:\n/home/anna/Projekte")));
    EXPECT_EQ(childNamed(homeItem, "Projekte"), nullptr);
    EXPECT_EQ(homeItem->childCount(), 2);
}

}  // namespace
}  // namespace tarnwick::ui
