#include "ui/results/ResultsModel.h"

#include <gtest/gtest.h>

#include <QAbstractItemModelTester>
#include <QCoreApplication>
#include <QIcon>
#include <QPoint>
#include <QSignalSpy>
#include <atomic>
#include <thread>

#include "platform/CodePage.h"
#include "tests/ui/support/QtApp.h"

namespace tarnwick::ui {
namespace {

const CodePage& utf8()
{
    static const CodePage page("UTF-8");
    return page;
}

QString text(const QModelIndex& index) { return index.data(Qt::DisplayRole).toString(); }

class ResultsModelTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { test::EnsureQtApp(); }

    std::shared_ptr<ResultList> list = std::make_shared<ResultList>();
    ResultsModel model{list, utf8()};
    QAbstractItemModelTester tester{&model, QAbstractItemModelTester::FailureReportingMode::Fatal};
};

// Every row and field the model shows must be the store's.
void expectModelMatchesStore(const ResultsModel& model, const ResultList& list)
{
    ASSERT_EQ(static_cast<std::size_t>(model.rowCount()), list.TopLevelCount());
    std::size_t items = 0;
    for (int row = 0; row < model.rowCount(); ++row) {
        const QModelIndex top = model.index(row, 0);
        const ItemHandle handle = list.TopLevelItem(static_cast<std::size_t>(row));
        ASSERT_EQ(model.handleOf(top), handle) << row;
        ASSERT_EQ(static_cast<std::size_t>(model.rowCount(top)), list.ChildCount(handle)) << row;
        ASSERT_EQ(text(top).toStdString(), list.ColumnText(handle, ResultColumn::FileOrContext)) << row;
        ASSERT_EQ(text(model.index(row, 2)).toStdString(), list.ColumnText(handle, ResultColumn::Remark)) << row;
        ++items;
        for (int child = 0; child < model.rowCount(top); ++child) {
            const QModelIndex hit = model.index(child, 0, top);
            const ItemHandle hitHandle = list.Child(handle, static_cast<std::size_t>(child));
            ASSERT_EQ(model.handleOf(hit), hitHandle);
            ASSERT_EQ(model.parent(hit), top);
            ASSERT_EQ(text(hit).toStdString(), list.ColumnText(hitHandle, ResultColumn::FileOrContext));
            ASSERT_EQ(text(model.index(child, 1, top)).toStdString(), list.ColumnText(hitHandle, ResultColumn::Position));
            ++items;
        }
    }
    EXPECT_EQ(items, list.ItemCount());
}

TEST_F(ResultsModelTest, ShowsColumnsIconsCheckBoxesAndHighlight)
{
    list->AddFileItem("Suche nach : gr\xC3\xBC\xC3\x9F"
                      "e",
                      ItemKind::Info);
    list->AddNoteItem("/t/a.txt", ItemKind::File, 4);
    // "Müller: Grüße": the match "Grüße" is bytes 9..16, characters 8..13.
    list->AddHitItem(40, 7,
                     "M\xC3\xBCller: Gr\xC3\xBC\xC3\x9F"
                     "e",
                     9, ItemKind::None, -1);
    const ItemHandle nameHit = list->AddFileItem("/t/x", ItemKind::FileNameHit);
    list->SetItemColumnText(nameHit, "Im Dateinamen gefunden", ResultColumn::Remark);
    list->AddFileItem("/t/e", ItemKind::Error);
    EXPECT_TRUE(model.catchUp());

    EXPECT_EQ(model.headerData(0, Qt::Horizontal).toString(), "Datei/Kontext");
    EXPECT_EQ(model.headerData(1, Qt::Horizontal).toString(), "Position [Byte]");
    EXPECT_EQ(model.headerData(2, Qt::Horizontal).toString(), "Fehler/Bemerkungen");
    EXPECT_EQ(model.headerData(0, Qt::Horizontal, Qt::SizeHintRole).toSize().width(), 600);

    ASSERT_EQ(model.rowCount(), 4);
    const QModelIndex info = model.index(0, 0);
    const QModelIndex file = model.index(1, 0);
    const QModelIndex hit = model.index(0, 0, file);
    EXPECT_EQ(text(info), QString::fromUtf8("Suche nach : grüße"));
    EXPECT_FALSE(model.data(info, Qt::CheckStateRole).isValid());
    EXPECT_EQ(model.data(file, Qt::CheckStateRole).toInt(), Qt::Unchecked);
    EXPECT_FALSE(model.data(model.index(3, 0), Qt::CheckStateRole).isValid());  // error
    EXPECT_TRUE(model.data(hit, Qt::CheckStateRole).isValid());
    EXPECT_FALSE(model.data(file, Qt::DecorationRole).value<QIcon>().isNull());
    EXPECT_FALSE(model.data(hit, Qt::DecorationRole).isValid());  // a hit has no kind, no icon
    EXPECT_EQ(text(model.index(0, 1, file)), "40");
    EXPECT_EQ(model.data(hit, ResultsModel::HighlightRole).toPoint(), QPoint(8, 13));
    EXPECT_FALSE(model.data(file, ResultsModel::HighlightRole).isValid());
    EXPECT_EQ(text(model.index(2, 2)), "Im Dateinamen gefunden");
    EXPECT_EQ(model.indexOf(list->Child(list->TopLevelItem(1), 0)), hit);
    EXPECT_FALSE(model.flags(model.index(0, 0)).testFlag(Qt::ItemIsUserCheckable));
    EXPECT_TRUE(model.flags(hit).testFlag(Qt::ItemIsUserCheckable));
}

// The check box of a top-level row is kept by the model; it follows the
// newest row on every catch-up, and every row when all are refreshed (a
// replace in the marked results takes check boxes away).
TEST_F(ResultsModelTest, ATopLevelRowsCheckBoxFollowsTheStore)
{
    const ItemHandle nameHit = list->AddFileItem("/t/needle", ItemKind::FileNameHit);
    const ItemHandle file = list->AddNoteItem("/t/a.txt", ItemKind::File, 1);
    model.catchUp();
    const auto checkable = [&](int row) { return model.flags(model.index(row, 0)).testFlag(Qt::ItemIsUserCheckable); };
    ASSERT_TRUE(checkable(0) && checkable(1));

    // The worker turns the newest file into an error after its hits.
    list->AddHitItem(0, 1, "x", 0, ItemKind::None, -1);
    list->SetHasCheckBox(file, false);
    model.catchUp();
    EXPECT_FALSE(checkable(1));
    EXPECT_FALSE(model.data(model.index(1, 0), Qt::CheckStateRole).isValid());
    EXPECT_FALSE(model.setData(model.index(1, 0), Qt::Checked, Qt::CheckStateRole));

    list->SetHasCheckBox(nameHit, false);
    model.refreshAll();
    EXPECT_FALSE(checkable(0));
    EXPECT_FALSE(model.data(model.index(0, 0), Qt::CheckStateRole).isValid());
}

TEST_F(ResultsModelTest, CheckingInTheModelMarksTheStore)
{
    list->AddNoteItem("/t/a.txt", ItemKind::File, 1);
    const ItemHandle hit = list->AddHitItem(0, 1, "x", 0, ItemKind::None, -1);
    const ItemHandle error = list->AddFileItem("/t/e", ItemKind::Error);
    model.catchUp();
    const QModelIndex hitIndex = model.index(0, 0, model.index(0, 0));
    EXPECT_TRUE(model.setData(hitIndex, Qt::Checked, Qt::CheckStateRole));
    EXPECT_TRUE(list->IsChecked(hit));
    EXPECT_EQ(list->FirstMarkedItem(), hit);
    EXPECT_FALSE(model.setData(model.index(1, 0), Qt::Checked, Qt::CheckStateRole));
    EXPECT_FALSE(list->IsChecked(error));
    EXPECT_TRUE(model.setData(hitIndex, Qt::Unchecked, Qt::CheckStateRole));
    EXPECT_FALSE(list->IsChecked(hit));
    // The model's own change needs no catching up.
    EXPECT_FALSE(model.catchUp());
}

TEST_F(ResultsModelTest, AnnouncesNewChildrenOfTheNewestRowBeforeNewRows)
{
    list->AddNoteItem("/t/a.txt", ItemKind::File, 1);
    list->AddHitItem(0, 1, "a", 0, ItemKind::None, -1);
    model.catchUp();
    QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);
    // The newest row gains a hit, turns into an error, and a new row follows.
    list->AddHitItem(5, 1, "b", 0, ItemKind::None, -1);
    list->UpdateCurrentFileItem(ResultColumn::Remark, UpdateWhat::TextAndKind, "Fehler", ItemKind::Error);
    list->AddNoteItem("/t/b.txt", ItemKind::File, 1);
    list->AddHitItem(1, 1, "c", 0, ItemKind::None, -1);
    QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
    EXPECT_TRUE(model.catchUp());
    ASSERT_EQ(inserted.count(), 2);
    EXPECT_EQ(inserted[0][0].value<QModelIndex>(), model.index(0, 0));
    EXPECT_EQ(inserted[0][1].toInt(), 1);
    EXPECT_EQ(inserted[0][2].toInt(), 1);
    EXPECT_FALSE(inserted[1][0].value<QModelIndex>().isValid());
    EXPECT_EQ(inserted[1][1].toInt(), 1);
    EXPECT_GE(changed.count(), 1);
    EXPECT_EQ(text(model.index(0, 2)), "Fehler");
    expectModelMatchesStore(model, *list);
    EXPECT_FALSE(model.catchUp());
}

TEST_F(ResultsModelTest, ClearFollowedByMoreItemsThanBeforeResetsTheModel)
{
    for (int i = 0; i < 3; ++i) list->AddFileItem("old " + std::to_string(i), ItemKind::Info);
    model.catchUp();
    QSignalSpy reset(&model, &QAbstractItemModel::modelReset);
    // Within one tick the store is emptied and refilled beyond its old size:
    // counting rows alone would take the new items for additions.
    list->ClearResults(true);
    for (int i = 0; i < 5; ++i) list->AddFileItem("new " + std::to_string(i), ItemKind::Info);
    EXPECT_TRUE(model.catchUp());
    EXPECT_EQ(reset.count(), 1);
    EXPECT_EQ(text(model.index(0, 0)), "new 0");
    expectModelMatchesStore(model, *list);
}

TEST_F(ResultsModelTest, StaysCorrectWhileAWorkerAppends)
{
    // A worker thread fills the store the way runs do; the model catches up
    // on this thread meanwhile, as the pane's timer does.
    constexpr int kItems = 100'000;
    std::atomic<bool> done{false};
    // Halfway the worker waits until the model has caught up once, so the
    // catch-up really meets a store that is still growing, however the
    // threads are scheduled.
    std::atomic<bool> halfway{false};
    std::atomic<bool> caughtUpHalfway{false};
    std::thread worker([&] {
        int added = 0;
        for (int file = 0; added < kItems; ++file) {
            if (!halfway && added >= kItems / 2) {
                halfway = true;
                while (!caughtUpHalfway) std::this_thread::yield();
            }
            const std::string path = "/t/dir/file" + std::to_string(file) + ".txt";
            switch (file % 7) {
            case 3:
                list->AddFileItem(path, ItemKind::FileNameHit);
                list->SetItemColumnText(list->CurrentFileItem(), "Im Dateinamen gefunden", ResultColumn::Remark);
                ++added;
                continue;
            case 5:
                list->AddFileItem(path, ItemKind::Error);
                list->UpdateItem(list->CurrentFileItem(), ResultColumn::Remark, UpdateWhat::TextAndKind,
                                 "Kann Datei nicht öffnen: x", ItemKind::Error);
                ++added;
                continue;
            default: break;
            }
            list->AddNoteItem(path, ItemKind::File, 1);
            ++added;
            for (int hit = 0; hit < 1 + file % 13 && added < kItems; ++hit, ++added)
                list->AddHitItem(hit * 10, 3, "context \xC3\xA4 " + std::to_string(hit), 9, ItemKind::None, -1);
            if (file % 11 == 0)
                list->UpdateCurrentFileItem(ResultColumn::Remark, UpdateWhat::TextAndKind, "Fehler", ItemKind::Error);
        }
        done = true;
    });
    while (!done) {
        const bool wasHalfway = halfway;
        model.catchUp();
        if (wasHalfway) caughtUpHalfway = true;
        std::this_thread::yield();
    }
    worker.join();
    model.catchUp();
    EXPECT_EQ(list->ItemCount(), static_cast<std::size_t>(kItems));
    expectModelMatchesStore(model, *list);
}

}  // namespace
}  // namespace tarnwick::ui
