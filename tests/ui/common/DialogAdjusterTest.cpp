// Dialogs as they are shown: wide enough for their titles, and file dialogs
// in German whatever language the desktop has.
#include "ui/common/DialogAdjuster.h"

#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QApplication>
#include <QDateTime>
#include <QFile>
#include <QFileDialog>
#include <QInputDialog>
#include <QLabel>
#include <QLibraryInfo>
#include <QTest>
#include <QTranslator>

#include "tests/support/TempTree.h"
#include "tests/ui/support/QtApp.h"
#include "ui/common/ApplicationSetup.h"

namespace tarnwick::ui {
namespace {

// What the window manager needs at the least: the title in bold and its
// icon and close button beside it.
int LeastWidthFor(const QWidget& window)
{
    QFont bold = window.font();
    bold.setBold(true);
    return QFontMetrics(bold).horizontalAdvance(window.windowTitle()) + 100;
}

class DialogAdjusterTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { test::EnsureQtApp(); }
    void SetUp() override { qApp->installEventFilter(&adjuster); }
    void TearDown() override { qApp->removeEventFilter(&adjuster); }

    DialogAdjuster adjuster;
};

// A user's trial: "Suche speichern" showed as "Suche...ichern".
TEST_F(DialogAdjusterTest, ADialogIsAsWideAsItsTitleAlsoWhenTheTitleChanges)
{
    QInputDialog dialog;
    dialog.setWindowTitle(QStringLiteral("Suche speichern"));
    dialog.setLabelText(QStringLiteral("Name der Suche:"));
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    EXPECT_GE(dialog.width(), LeastWidthFor(dialog));

    dialog.setWindowTitle(QStringLiteral("Gespeicherte Suche umbenennen und dabei gleich ersetzen"));
    EXPECT_GE(dialog.width(), LeastWidthFor(dialog));
}

// A user's trial on a desktop in English: the file dialog's texts were German,
// its sizes and dates English ("bytes", "Dec").
TEST(ProgramLanguageTest, TheFileDialogSpeaksGermanWhateverTheDesktopSpeaks)
{
    test::EnsureQtApp();
    const QString translations = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    if (!QFile::exists(translations + QStringLiteral("/qtbase_de.qm"))) GTEST_SKIP() << "qt6-translations-l10n missing";
    static QTranslator toolkitTexts;  // lives as long as the application, as in the program
    SetUpApplication(toolkitTexts);
    EXPECT_EQ(QCoreApplication::translate("QFileDialog", "Look in:").toStdString(), "Suchen in:");

    test::TempTree tree;
    tree.write("rechnung.txt", std::string(500, 'x'));
    const QDateTime modified(QDate(2023, 12, 5), QTime(15, 4));
    {
        QFile file(QString::fromStdString(tree.path("rechnung.txt")));
        ASSERT_TRUE(file.open(QIODevice::ReadWrite));
        ASSERT_TRUE(file.setFileTime(modified, QFileDevice::FileModificationTime));
    }
    QFileDialog dialog(nullptr, QStringLiteral("Öffnen"), QString::fromStdString(tree.root()));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setViewMode(QFileDialog::Detail);
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));

    // The row of the file as the dialog's detail view shows it.
    QModelIndex row;
    ASSERT_TRUE(QTest::qWaitFor([&] {
        for (QAbstractItemView* view : dialog.findChildren<QAbstractItemView*>()) {
            if (!view->isVisible() || view->model() == nullptr) continue;
            for (int i = 0; i < view->model()->rowCount(view->rootIndex()); ++i) {
                const QModelIndex name = view->model()->index(i, 0, view->rootIndex());
                if (name.data().toString() == QStringLiteral("rechnung.txt")) row = name;
            }
        }
        return row.isValid();
    }));
    EXPECT_EQ(row.siblingAtColumn(1).data().toString().toStdString(), "500 Bytes");
    EXPECT_EQ(row.siblingAtColumn(3).data().toString().toStdString(), "05.12.23 15:04");
}

}  // namespace
}  // namespace tarnwick::ui
