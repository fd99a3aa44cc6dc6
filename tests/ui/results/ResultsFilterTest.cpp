// The filter above the results list: what it lets through, what it counts,
// and that the pane shows the filtered rows without touching the store.
#include "ui/results/ResultsFilter.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>

#include "platform/CodePage.h"
#include "tests/ui/support/QtApp.h"
#include "ui/results/ResultsModel.h"
#include "ui/results/ResultsPane.h"
#include "ui/results/ResultsTreeView.h"

namespace tarnwick::ui {
namespace {

const CodePage& utf8()
{
    static const CodePage page("UTF-8");
    return page;
}

struct FilledList {
    FilledList()
    {
        list->AddFileItem("Suche nach : Köln", ItemKind::Info);
        letters = list->AddNoteItem("/briefe/an-koeln.txt", ItemKind::File, 2);
        letterHit = list->AddHitItem(10, 4, "Grüße aus KÖLN am Rhein", 10, ItemKind::None, -1);
        list->AddHitItem(50, 4, "und Bonn", 4, ItemKind::None, -1);
        notes = list->AddNoteItem("/notizen/reise.txt", ItemKind::File, 2);
        noteHit = list->AddHitItem(3, 4, "nach köln fahren", 5, ItemKind::None, -1);
        otherNote = list->AddHitItem(30, 4, "nach Bonn fahren", 5, ItemKind::None, -1);
        list->AddNoteItem("/notizen/leer.txt", ItemKind::File, 1);
        list->AddHitItem(1, 4, "Bonn", 0, ItemKind::None, -1);
        list->AddFileItem("Suche abgeschlossen.", ItemKind::Info);
    }
    std::shared_ptr<ResultList> list = std::make_shared<ResultList>();
    ItemHandle letters, letterHit, notes, noteHit, otherNote;
};

TEST(ResultsFilter, MatchesPathsAndContextsIgnoringCaseAndShowsAFileWithItsMatchingHits)
{
    FilledList filled;
    const ResultList& list = *filled.list;
    const ResultsFilter koeln(QStringLiteral("köln"));
    EXPECT_TRUE(koeln.matches(list, filled.letterHit, utf8())) << "KÖLN in the context";
    EXPECT_FALSE(koeln.matches(list, filled.letters, utf8())) << "the path says koeln";
    EXPECT_TRUE(koeln.shows(list, filled.letters, utf8())) << "a file with a matching hit";
    EXPECT_TRUE(koeln.shows(list, filled.noteHit, utf8()));
    EXPECT_FALSE(koeln.shows(list, filled.otherNote, utf8()));

    // A matching path shows all the file's hits.
    const ResultsFilter notes(QStringLiteral("NOTIZEN/REISE"));
    EXPECT_TRUE(notes.shows(list, filled.otherNote, utf8()));

    EXPECT_EQ(CountFiltered(list, koeln, utf8()), (FilteredCount{2, 5, 3, 5}));
    EXPECT_EQ(CountFiltered(list, ResultsFilter(QStringLiteral("bonn")), utf8()), (FilteredCount{3, 5, 3, 5}));
    EXPECT_EQ(CountFiltered(list, ResultsFilter(), utf8()), (FilteredCount{5, 5, 5, 5}));
    EXPECT_EQ(FilteredCountText({3, 6, 3, 5}), QStringLiteral("3 von 6 Treffern in 3 von 5 Einträgen"));
}

TEST(ResultsFilter, ThePaneShowsTheFilteredRowsAndLeavesTheStoreAlone)
{
    test::EnsureQtApp();
    FilledList filled;
    ResultsPane pane(filled.list, utf8());
    pane.catchUp();
    filled.list->SetChecked(filled.otherNote, true);
    pane.view()->expand(pane.viewIndexOf(filled.notes));

    pane.filterField()->setText(QStringLiteral("köln"));
    // Only the two files with a Köln hit (and the message naming it); hits open.
    QAbstractItemModel* shown = pane.view()->model();
    ASSERT_EQ(shown->rowCount(), 3);
    EXPECT_EQ(shown->rowCount(pane.viewIndexOf(filled.notes)), 1);
    EXPECT_TRUE(pane.viewIndexOf(filled.noteHit).isValid());
    EXPECT_FALSE(pane.viewIndexOf(filled.otherNote).isValid());
    EXPECT_TRUE(pane.view()->isExpanded(pane.viewIndexOf(filled.letters)));
    EXPECT_EQ(pane.filterCount()->text(), QStringLiteral("2 von 5 Treffern in 3 von 5 Einträgen"));

    // Selecting a filtered row selects the store item behind it.
    pane.view()->selectionModel()->select(pane.viewIndexOf(filled.noteHit),
                                          QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    EXPECT_EQ(filled.list->SelectedItems(), std::vector<ItemHandle>{filled.noteHit});

    // The store keeps every item and the mark of the hidden one.
    EXPECT_EQ(filled.list->ItemCount(), 10u);
    EXPECT_TRUE(filled.list->IsChecked(filled.otherNote));

    // Emptied: the whole list again, opened as the user had it.
    pane.filterField()->clear();
    EXPECT_EQ(pane.view()->model(), pane.model());
    EXPECT_EQ(pane.view()->model()->rowCount(), 5);
    EXPECT_TRUE(pane.view()->isExpanded(pane.viewIndexOf(filled.notes)));
    EXPECT_FALSE(pane.view()->isExpanded(pane.viewIndexOf(filled.letters)));
    EXPECT_TRUE(pane.filterCount()->text().isEmpty());
}

}  // namespace
}  // namespace tarnwick::ui
