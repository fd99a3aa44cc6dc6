#include "ui/results/ResultsPane.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QHeaderView>
#include <QIcon>
#include <QImage>
#include <QMenu>
#include <QScrollBar>
#include <QStyleOptionViewItem>
#include <QTest>
#include <QToolBar>

#include "platform/CodePage.h"
#include "tests/ui/support/QtApp.h"
#include "ui/results/ResultsCommandTexts.h"
#include "ui/results/ResultsIcons.h"
#include "ui/results/ResultsModel.h"
#include "ui/results/ResultsTreeView.h"

namespace tarnwick::ui {
namespace {

using namespace ResultsCommandId;

const CodePage& utf8()
{
    static const CodePage page("UTF-8");
    return page;
}

class ResultsPaneTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { test::EnsureQtApp(); }

    void SetUp() override
    {
        pane.resize(900, 300);
        pane.show();
        QCoreApplication::processEvents();
    }

    // One item of every kind; kinds 5 and 7 are hits a replace marked.
    void fillEveryKind()
    {
        list->AddFileItem("Suche nach : gr\xC3\xBC\xC3\x9F"
                          "e",
                          ItemKind::Info);
        file = list->AddNoteItem("/t/brief.txt", ItemKind::File, 4);
        hit = list->AddHitItem(12, 7,
                               "Viele Gr\xC3\xBC\xC3\x9F"
                               "e an alle",
                               6, ItemKind::None, -1);
        const ItemHandle replaced = list->AddHitItem(40, 7,
                                                     "Gr\xC3\xBC\xC3\x9F"
                                                     "e",
                                                     0, ItemKind::None, -1);
        list->UpdateItem(replaced, ResultColumn::FileOrContext, UpdateWhat::Kind, "", ItemKind::Replaced);
        list->AddFileItem("/t/offen.txt", ItemKind::Error);
        list->UpdateItem(list->CurrentFileItem(), ResultColumn::Remark, UpdateWhat::TextAndKind, "Kann Datei nicht öffnen: x",
                         ItemKind::Error);
        list->AddFileItem("/t/gruesse.txt", ItemKind::FileNameHit);
        list->AddFileItem("/t/gruesse", ItemKind::DirNameHit);
        list->AddFileItem("/t/brief.docx", ItemKind::Document);
        const ItemHandle docHit = list->AddHitItem(3, 5, "Grüße", 0, ItemKind::None, -1);
        list->UpdateItem(docHit, ResultColumn::FileOrContext, UpdateWhat::Kind, "", ItemKind::DocumentReplaced);
        list->AddFileItem("Suche abgeschlossen.", ItemKind::Info);
        pane.catchUp();
    }

    QModelIndex indexOf(ItemHandle item) const { return pane.model()->indexOf(item); }

    void select(ItemHandle item)
    {
        pane.view()->selectionModel()->select(indexOf(item), QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    }

    std::shared_ptr<ResultList> list = std::make_shared<ResultList>();
    ResultsPane pane{list, utf8()};
    ItemHandle file = kNoItem;
    ItemHandle hit = kNoItem;
};

TEST_F(ResultsPaneTest, AFilledListShowsEveryKindWithItsOwnIcon)
{
    fillEveryKind();
    pane.action(ExpandAll)->trigger();
    std::vector<QImage> images;
    const ResultsModel& model = *pane.model();
    for (int row = 0; row < model.rowCount(); ++row) {
        const QModelIndex top = model.index(row, 0);
        std::vector<QModelIndex> indexes{top};
        for (int child = 0; child < model.rowCount(top); ++child) indexes.push_back(model.index(child, 0, top));
        for (const QModelIndex& index : indexes) {
            const ItemKind kind = list->Kind(model.handleOf(index));
            const QIcon icon = index.data(Qt::DecorationRole).value<QIcon>();
            EXPECT_EQ(icon.isNull(), kind == ItemKind::None) << row;
            if (!icon.isNull()) images.push_back(icon.pixmap(16, 16).toImage());
        }
    }
    // Every kind 0..7 appears (the info kind twice), each drawn differently.
    ASSERT_EQ(images.size(), 9u);
    for (int a = 0; a < kKindCount; ++a)
        for (int b = a + 1; b < kKindCount; ++b)
            EXPECT_NE(KindIcon(static_cast<ItemKind>(a)).pixmap(16, 16).toImage(),
                      KindIcon(static_cast<ItemKind>(b)).pixmap(16, 16).toImage())
                << a << b;
    EXPECT_EQ(KindIconStrip().size(), QSize(128, 16));
    EXPECT_TRUE(KindIcon(static_cast<ItemKind>(8)).isNull());

    const QImage shot = pane.grab().toImage();
    EXPECT_FALSE(shot.isNull());
}

TEST_F(ResultsPaneTest, CheckBoxesToggleTheStore)
{
    fillEveryKind();
    pane.action(ExpandAll)->trigger();
    QCoreApplication::processEvents();
    ResultsTreeView* view = pane.view();
    const QModelIndex hitIndex = indexOf(hit);

    // With the mouse on the check box.
    QStyleOptionViewItem option;
    option.initFrom(view);
    option.rect = view->visualRect(hitIndex);
    option.features |= QStyleOptionViewItem::HasCheckIndicator | QStyleOptionViewItem::HasDisplay;
    option.index = hitIndex;
    option.widget = view;
    const QRect box = view->style()->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &option, view);
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, box.center());
    EXPECT_TRUE(list->IsChecked(hit));
    EXPECT_EQ(list->FirstMarkedItem(), hit);

    // With the space bar on the current item.
    view->setCurrentIndex(indexOf(file));
    QTest::keyClick(view, Qt::Key_Space);
    EXPECT_TRUE(list->IsChecked(file));
    QTest::keyClick(view, Qt::Key_Space);
    EXPECT_FALSE(list->IsChecked(file));
}

TEST_F(ResultsPaneTest, MarkAllAndNoneAndExpandAndCollapse)
{
    fillEveryKind();
    pane.setLastRunWasSearch(true);
    pane.action(MarkAll)->trigger();
    EXPECT_TRUE(list->IsChecked(file));
    EXPECT_TRUE(list->IsChecked(hit));
    EXPECT_EQ(indexOf(hit).data(Qt::CheckStateRole).toInt(), Qt::Checked);
    pane.action(MarkNone)->trigger();
    EXPECT_EQ(list->FirstMarkedItem(), kNoItem);

    pane.action(ExpandAll)->trigger();
    EXPECT_TRUE(pane.view()->isExpanded(indexOf(file)));
    EXPECT_TRUE(list->IsExpanded(file));
    pane.action(CollapseAll)->trigger();
    EXPECT_FALSE(pane.view()->isExpanded(indexOf(file)));
    EXPECT_FALSE(list->IsExpanded(file));
}

TEST_F(ResultsPaneTest, CommandsAreEnabledByItemsSelectionAndLastRun)
{
    auto enabled = [&](int id) { return pane.action(id)->isEnabled(); };
    pane.setExportHandler([] {});
    for (const ResultsCommandText& command : ResultsCommandTexts()) EXPECT_FALSE(enabled(command.id)) << command.id;

    list->AddFileItem("Suche nach : x", ItemKind::Info);
    list->AddFileItem("Suche abgeschlossen.", ItemKind::Info);
    pane.setLastRunWasSearch(true);
    pane.catchUp();
    EXPECT_TRUE(enabled(Export));
    EXPECT_TRUE(enabled(ExpandAll));
    EXPECT_FALSE(enabled(MarkAll));  // header and summary only

    const ItemHandle nameHit = list->AddFileItem("/t/x", ItemKind::FileNameHit);
    pane.catchUp();
    EXPECT_TRUE(enabled(MarkAll));
    EXPECT_TRUE(enabled(MarkNone));
    pane.setLastRunWasSearch(false);
    EXPECT_FALSE(enabled(MarkAll));

    EXPECT_FALSE(enabled(OpenWithProgram));
    select(nameHit);
    EXPECT_TRUE(enabled(OpenWithProgram));
    EXPECT_FALSE(enabled(OpenInViewer));  // file-name hits do not open in the viewer
    select(list->TopLevelItem(0));
    EXPECT_FALSE(enabled(OpenWithProgram));

    // Texts, prompts and the tool bar as the user sees them.
    QAction* open = pane.action(OpenWithProgram);
    EXPECT_EQ(open->text(), QString::fromUtf8("Markierte Datei &öffnen"));
    EXPECT_EQ(open->statusTip(), QString::fromUtf8("Öffnet die Datei mit dem verknüpften Programm"));
    EXPECT_EQ(open->toolTip(), QString::fromUtf8("Öffnen"));
    EXPECT_EQ(pane.toolBar()->windowTitle(), "Ergebnisse");
    EXPECT_EQ(pane.toolBar()->actions().size(), 11);
    EXPECT_TRUE(pane.toolBar()->actions()[3]->isSeparator());
    QMenu* menu = pane.createResultsMenu(&pane);
    EXPECT_EQ(menu->title(), "&Ergebnisse");
}

TEST_F(ResultsPaneTest, DoubleClickAndEnterOpenHitsAndToggleFiles)
{
    fillEveryKind();
    std::vector<ItemHandle> opened;
    pane.setOpenInViewerHandler([&](ItemHandle item) { opened.push_back(item); });
    ResultsTreeView* view = pane.view();
    const QPoint fileCenter = view->visualRect(indexOf(file)).center();
    QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, fileCenter);
    EXPECT_TRUE(view->isExpanded(indexOf(file)));
    EXPECT_TRUE(opened.empty());

    QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(indexOf(hit)).center());
    EXPECT_EQ(opened, (std::vector<ItemHandle>{hit}));

    select(hit);
    QTest::keyClick(view, Qt::Key_Return);
    EXPECT_EQ(opened, (std::vector<ItemHandle>{hit, hit}));
    select(file);
    QTest::keyClick(view, Qt::Key_Return);
    EXPECT_EQ(opened.size(), 2u);
}

TEST_F(ResultsPaneTest, AutoScrollFollowsNewItemsUntilTheUserScrolls)
{
    list->AddFileItem("Suche nach : x", ItemKind::Info);
    auto addFiles = [&](int from, int count) {
        for (int i = from; i < from + count; ++i) {
            list->AddNoteItem("/t/f" + std::to_string(i), ItemKind::File, 1);
            list->AddHitItem(0, 1, "x", 0, ItemKind::None, -1);
        }
        pane.catchUp();
        QCoreApplication::processEvents();
    };
    addFiles(0, 200);
    QScrollBar* bar = pane.view()->verticalScrollBar();
    ASSERT_GT(bar->maximum(), 0);
    const QRect last = pane.view()->visualRect(pane.model()->index(pane.model()->rowCount() - 1, 0));
    EXPECT_TRUE(pane.view()->viewport()->rect().intersects(last));

    bar->triggerAction(QAbstractSlider::SliderToMinimum);
    EXPECT_FALSE(list->AutoScroll());
    addFiles(200, 200);
    EXPECT_EQ(bar->value(), 0);

    // The next run follows again.
    list->ClearResults(true);
    list->SetAutoScroll(true);
    addFiles(0, 300);
    EXPECT_GT(bar->value(), 0);
}

class StartingReplacer : public MarkedResultsReplacer {
public:
    bool startReplaceInMarkedResults() override { return true; }
};

// A user's trial: in a 1200-pixel window the paths were cut at 600 pixels
// beside empty room.
TEST_F(ResultsPaneTest, ThePathColumnTakesTheWidthTheWindowHasUnlessTheUserSizedIt)
{
    QHeaderView* header = pane.view()->header();
    const auto fillsTheView = [&] {
        return QTest::qWaitFor([&] {
            return header->sectionSize(0) + header->sectionSize(1) + header->sectionSize(2) == pane.view()->viewport()->width();
        });
    };
    pane.resize(1200, 400);
    ASSERT_TRUE(fillsTheView());
    EXPECT_GT(header->sectionSize(0), 600);
    EXPECT_EQ(header->sectionSize(1), 80);
    EXPECT_EQ(header->sectionSize(2), 400);
    pane.resize(1600, 400);
    EXPECT_TRUE(fillsTheView());

    // The user narrows the remarks: the paths take the room.
    header->resizeSection(2, 250);
    EXPECT_TRUE(fillsTheView());
    // The user sizes the paths: that width stands, whatever the window does.
    header->resizeSection(0, 500);
    pane.resize(1100, 400);
    ASSERT_TRUE(QTest::qWaitFor([&] { return pane.view()->viewport()->width() < 1100; }));
    QCoreApplication::processEvents();
    EXPECT_EQ(header->sectionSize(0), 500);
    EXPECT_EQ(header->sectionSize(2), 250);
}

TEST_F(ResultsPaneTest, PaneIsDisabledWhileReplacingInMarkedResults)
{
    fillEveryKind();
    StartingReplacer replacer;
    pane.setLastRunWasSearch(true);
    pane.setMarkedResultsReplacer(&replacer);
    ASSERT_TRUE(pane.action(ReplaceMarked)->isEnabled());
    pane.action(ReplaceMarked)->trigger();
    EXPECT_FALSE(pane.isEnabled());
    EXPECT_FALSE(pane.action(MarkAll)->isEnabled());
    EXPECT_FALSE(pane.action(ReplaceMarked)->isEnabled());
    pane.selectedReplaceFinished();
    EXPECT_TRUE(pane.isEnabled());
    EXPECT_TRUE(pane.action(MarkAll)->isEnabled());
}

}  // namespace
}  // namespace tarnwick::ui
