// A file-type list reaches a run the same way whichever road it takes: the
// form's state (as the desktop program runs it), the stored settings, a saved
// search, the copied command line and --types. Guards against the form
// running the text as typed, which dropped a last type without its ';'.
#include "cli/CommandLine.h"
#include "engine/Messages.h"
#include "formjob/CommandLineText.h"
#include "formjob/RelativeDates.h"
#include "platform/Clock.h"
#include "settings/FormSettings.h"
#include "settings/ProfileStore.h"
#include "settings/SavedSearches.h"
#include "tests/support/TempTree.h"

#include <gtest/gtest.h>

namespace tarnwick::test {
namespace {

constexpr std::int64_t kNow = 1'700'000'000;

settings::FormState FormTyping(const std::string& types, const std::string& directory)
{
    settings::FormState form;
    form.searchTexts.text = "needle";
    form.directories.text = directory;
    form.allFileTypes = 0;
    form.fileTypes.text = types;
    return form;
}

// Stores the form as the desktop program leaves it: the typed text as the
// current file-type entry, and the same form as the saved search "P".
std::string StoreForm(const TempTree& tree, const settings::FormState& form)
{
    const std::string path = tree.path("Tarnwick.conf");
    settings::ProfileStore store(path);
    store.WriteProfileInt(settings::kFormSection, "Alle Dateitypen", 0);
    store.WriteProfileString(settings::kFormSection, "Suchstring", form.searchTexts.text);
    store.WriteProfileString(settings::kFormSection, "Verz0", form.directories.text);
    store.WriteProfileString(settings::kFormSection, "Dateitypen", "#" + form.fileTypes.text);
    EXPECT_TRUE(settings::StoreSavedSearches(store, {{"P", form}}));
    return path;
}

struct Roads {
    std::string form, settings, preset, copied, typed;
};

Roads JobsOf(const TempTree& tree, const std::string& types)
{
    const FixedClock clock(kNow);
    const settings::FormState form = FormTyping(types, tree.root());
    const std::string conf = StoreForm(tree, form);
    const auto parsed = [&](const std::vector<std::string>& arguments) {
        const Expected<CliRequest> result = ParseCommandLine(arguments, clock);
        return result ? result.value().job.fileTypes : "refused: " + result.error().detail;
    };
    std::vector<std::string> copied = session::CommandLineArguments(form, session::CommandLineKind::Search, kNow, kNow);
    copied.erase(copied.begin());
    return {session::JobForRun(form, kNow, kNow, kNow).fileTypes, parsed({"search", "--settings-file", conf}),
            parsed({"search", "--settings-file", conf, "--preset", "P"}), parsed(copied),
            parsed({"search", "--types", types, "needle", tree.root()})};
}

TEST(FileTypeVariants, EveryRoadGivesTheFormsNormalisedList)
{
    const std::pair<std::string, std::string> variants[] = {
        {"*.md", "*.md;"},
        {"*.txt,*.md", "*.txt; *.md;"},
        {" *.txt ; md", "*.txt; .md;"},
        {"*.TXT;*.h;*.cpp;", "*.txt; *.h; *.cpp;"},  // as an older program stored it
    };
    for (const auto& [typed, normalised] : variants) {
        SCOPED_TRACE(typed);
        TempTree tree;
        const Roads jobs = JobsOf(tree, typed);
        EXPECT_EQ(jobs.form, normalised);
        EXPECT_EQ(jobs.settings, normalised);
        EXPECT_EQ(jobs.preset, normalised);
        EXPECT_EQ(jobs.copied, normalised);
        EXPECT_EQ(jobs.typed, normalised);
    }
}

TEST(FileTypeVariants, AListThatNamesNoTypeIsRefusedOnEveryRoad)
{
    const std::string refused = std::string("refused: ") + text::kNoFileTypes;
    for (const std::string typed : {"", " ; ,"}) {
        SCOPED_TRACE("'" + typed + "'");
        TempTree tree;
        const Roads jobs = JobsOf(tree, typed);
        EXPECT_EQ(jobs.settings, refused);
        EXPECT_EQ(jobs.preset, refused);
        EXPECT_EQ(jobs.copied, refused);
        EXPECT_EQ(jobs.typed, refused);
    }
}

}  // namespace
}  // namespace tarnwick::test
