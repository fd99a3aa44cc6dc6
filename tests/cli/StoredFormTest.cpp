// A run set up in the desktop program, read back for the terminal: the
// settings file's numbers become the job's flags and modes and the rename
// choice as the desktop program's runs read them.
#include "cli/StoredForm.h"
#include "cli/CommandLine.h"
#include "platform/Clock.h"
#include "settings/ProfileStore.h"
#include "settings/SavedSearches.h"
#include "tests/support/TempTree.h"

#include <gtest/gtest.h>

namespace tarnwick::test {
namespace {

constexpr std::int64_t kNow = 1'700'000'000;

TEST(StoredForm, StoredNumbersBecomeFlagsModesAndTheRenameChoice)
{
    TempTree tree;
    const std::string path = tree.path("Tarnwick.conf");
    {
        settings::ProfileStore store(path);
        store.WriteProfileInt("Dialogdaten", "Grossschreibung", 5);
        store.WriteProfileInt("Dialogdaten", "Dateiinhalte durchsuchen", 0);
        store.WriteProfileInt("Dialogdaten", "Diese ignor", 2);
        store.WriteProfileInt("Dialogdaten", "WordAuto", 0);
        store.WriteProfileInt("Dialogdaten", "Gross alle umbenennen", 3);
        store.WriteProfileInt("Optionen", "Immer Sikop", 4);
    }
    const StoredForm stored = ReadStoredForm(path, kNow);
    EXPECT_TRUE(stored.job.matchCase);
    EXPECT_FALSE(stored.job.searchContents);
    EXPECT_EQ(stored.job.nameStringMode, NameStringMode::AllMustOccur);  // only 1 skips names
    EXPECT_EQ(stored.job.wordAutoMode, WordAutoMode::AllTypes);
    EXPECT_TRUE(stored.job.alwaysBackup);
    EXPECT_EQ(stored.renameArgument, RenameArgument::OnlyAllCapitals);

    // The stored choice applies to "lowercase --settings-file"; without the
    // settings every name is converted, unless --only-upper says otherwise.
    const FixedClock clock(kNow);
    const struct {
        std::vector<std::string> arguments;
        CliCommand command;
        RenameArgument renameArgument;
    } rows[] = {
        {{"lowercase", "--settings-file", path, tree.root()}, CliCommand::Lowercase, RenameArgument::OnlyAllCapitals},
        {{"lowercase", tree.root()}, CliCommand::Lowercase, RenameArgument::All},
        {{"lowercase", "--only-upper", tree.root()}, CliCommand::Lowercase, RenameArgument::OnlyAllCapitals},
        {{"replace", "a", "b", tree.root()}, CliCommand::Replace, RenameArgument::All},
        {{"search", "a", tree.root()}, CliCommand::Search, RenameArgument::All},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.arguments.front() + " " + row.arguments[1]);
        const Expected<CliRequest> parsed = ParseCommandLine(row.arguments, clock);
        ASSERT_TRUE(parsed) << parsed.error().detail;
        EXPECT_EQ(parsed.value().command, row.command);
        EXPECT_EQ(parsed.value().renameArgument, row.renameArgument);
    }
}

TEST(StoredForm, APresetRunsTheSavedSearchWithTheCommandLineOverridingIt)
{
    TempTree tree;
    const std::string path = tree.path("Tarnwick.conf");
    {
        settings::ProfileStore store(path);
        store.WriteProfileInt("Optionen", "Kontextl", 33);
        settings::FormState form;
        form.searchTexts.text = "Rechnung";
        form.directories.text = "/srv/belege";
        form.allFileTypes = 1;
        form.dateFilter = 1;
        form.dateRelative = 1;
        form.dateRelativeCount = 2;
        ASSERT_TRUE(settings::StoreSavedSearches(store, {{"Belege", form}}));
    }
    const FixedClock clock(kNow);
    const Expected<CliRequest> parsed = ParseCommandLine({"search", "--settings-file", path, "--preset", "Belege", "-c"}, clock);
    ASSERT_TRUE(parsed) << parsed.error().detail;
    EXPECT_EQ(parsed.value().searchText, "Rechnung");
    EXPECT_EQ(parsed.value().directory, "/srv/belege");
    EXPECT_TRUE(parsed.value().job.matchCase);
    EXPECT_EQ(parsed.value().job.contextLength, 33u);  // the stored options apply
    EXPECT_EQ(parsed.value().job.dateFrom, kNow - 2 * 86'400);

    const Expected<CliRequest> unknown = ParseCommandLine({"search", "--settings-file", path, "--preset", "Fehlt"}, clock);
    ASSERT_FALSE(unknown);
    EXPECT_EQ(unknown.error().kind, FailureKind::InvalidInput);
    EXPECT_EQ(unknown.error().detail, "Keine gespeicherte Suche mit dem Namen: Fehlt");
}

}  // namespace
}  // namespace tarnwick::test
