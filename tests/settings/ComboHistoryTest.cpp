#include "settings/ComboHistory.h"

#include <gtest/gtest.h>

#include "engine/job/SearchJob.h"

namespace tarnwick::settings {
namespace {

using Entries = std::vector<std::string>;

ComboHistory History(Entries entries, std::string text)
{
    ComboHistory history;
    history.entries = std::move(entries);
    history.text = std::move(text);
    return history;
}

TEST(CommitComboText, SelectsAnEqualEntryOrAppendsTheText)
{
    ComboHistory history = History({"alpha", "Beta", "beta"}, "beta");
    CommitComboText(history);
    EXPECT_EQ(history.entries, (Entries{"alpha", "Beta", "beta"}));
    EXPECT_EQ(history.selected, 2);

    history.text = "alph";  // a prefix of an entry is not that entry
    CommitComboText(history);
    EXPECT_EQ(history.entries, (Entries{"alpha", "Beta", "beta", "alph"}));
    EXPECT_EQ(history.selected, 3);

    history.text.clear();
    CommitComboText(history);
    EXPECT_EQ(history.entries.size(), 4u);
}

TEST(CommitComboText, FileTypesAreNormalisedBeforeTheyAreCommitted)
{
    const TextPreparer normalize = [](const std::string& typed) { return NormalizeFileTypes(typed); };
    ComboHistory history = History({"*.txt;"}, "txt,doc");
    CommitComboText(history, normalize);
    EXPECT_EQ(history.text, ".txt; .doc;");
    EXPECT_EQ(history.entries, (Entries{"*.txt;", ".txt; .doc;"}));

    history.text = "*.TXT";
    CommitComboText(history, normalize);
    EXPECT_EQ(history.selected, 0);
    EXPECT_EQ(history.entries.size(), 2u);

    history.text = " , ";  // nothing left after normalising: nothing is committed
    CommitComboText(history, normalize);
    EXPECT_EQ(history.entries.size(), 2u);
}

TEST(CommitComboText, NameStringsGetTheirTerminatorButEmptyStaysEmpty)
{
    ComboHistory history = History({}, "abc");
    CommitComboText(history, TerminateNameStrings);
    EXPECT_EQ(history.entries, (Entries{"abc;"}));
    // An empty text would otherwise become ";", an empty token that in the
    // "ignore" mode excludes every file.
    history.text.clear();
    CommitComboText(history, TerminateNameStrings);
    EXPECT_EQ(history.text, "");
    EXPECT_EQ(history.entries, (Entries{"abc;"}));
}

TEST(MoveCurrentToTop, MovesTheExactEntryFirst)
{
    ComboHistory history = History({"a", "b", "c"}, "c");
    MoveCurrentToTop(history);
    EXPECT_EQ(history.entries, (Entries{"c", "a", "b"}));
    EXPECT_EQ(history.selected, 0);

    history.text = "B";  // case matters: no entry, nothing moves
    MoveCurrentToTop(history);
    EXPECT_EQ(history.entries, (Entries{"c", "a", "b"}));
}

TEST(JoinedHistory, SplitsInStoredOrderAndDropsTextBeforeTheFirstMarker)
{
    EXPECT_EQ(SplitHistory("#*.txt;#*.h;*.cpp;", '#'), (Entries{"*.txt;", "*.h;*.cpp;"}));
    EXPECT_EQ(SplitHistory("lead#a##b", '#'), (Entries{"a", "", "b"}));
    EXPECT_EQ(SplitHistory("", '#'), Entries{});
    EXPECT_EQ(SplitHistory("no marker", '%'), Entries{});
    EXPECT_EQ(JoinHistory({"x;", "", "y;"}, '%'), "%x;%%y;");
    // An entry holding its own marker comes back split.
    EXPECT_EQ(SplitHistory(JoinHistory({"50%;"}, '%'), '%'), (Entries{"50", ";"}));
}

}  // namespace
}  // namespace tarnwick::settings
