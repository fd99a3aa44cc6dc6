#include "settings/FormSettings.h"

#include <gtest/gtest.h>

#include "engine/job/SearchJob.h"
#include "settings/ProfileStore.h"
#include "tests/support/TempTree.h"

namespace tarnwick::settings {
namespace {

using Entries = std::vector<std::string>;

class FormSettingsTest : public ::testing::Test {
protected:
    test::TempTree tree;
    ProfileStore store{tree.path("Tarnwick.conf")};
    const TextPreparer normalize = [](const std::string& typed) { return NormalizeFileTypes(typed); };

    FormState loadState()
    {
        FormState state;
        LoadFormSettings(store, state);
        return state;
    }
    std::string storedValue(const char* name, const char* fallback = "<absent>")
    {
        return store.GetProfileString(kFormSection, name, fallback);
    }
    static ComboHistory makeHistory(Entries entries, std::string text, int selected = 0)
    {
        ComboHistory history;
        history.entries = std::move(entries);
        history.text = std::move(text);
        history.selected = selected;
        return history;
    }
};

TEST_F(FormSettingsTest, FirstStartGivesTheDefaults)
{
    const FormState loaded = loadState();
    FormState expected;
    expected.fileTypes = makeHistory({"*.txt;", "*.h;*.cpp;"}, "*.txt;");
    EXPECT_EQ(loaded, expected);
    EXPECT_EQ(loaded.maxSizeKb, 100u);
    EXPECT_EQ(loaded.options.logOnlyReplace, 1);
    EXPECT_EQ(loaded.options.splitLength, 52'428'800u);
    EXPECT_EQ(loaded.warningBits, 16'777'215u);
}

TEST_F(FormSettingsTest, EveryValueSurvivesSaveAndLoad)
{
    FormState state;
    std::int32_t FormState::*flags[] = {
        &FormState::allFileTypes,      &FormState::regularExpression, &FormState::matchCase,
        &FormState::wholeWords,        &FormState::includeSubfolders, &FormState::sizeFilter,
        &FormState::searchDirNames,    &FormState::searchFileNames,   &FormState::dateModified,
        &FormState::dateAccessed,      &FormState::dateFilter,        &FormState::renameOnlyUpperCase,
        &FormState::specialCharacters, &FormState::attributesOnDirs,  &FormState::skipHidden,
        &FormState::skipArchive,       &FormState::skipReadOnly,      &FormState::skipSystem,
        &FormState::expandedView,      &FormState::filesWithoutHits,  &FormState::replacementCaptures,
        &FormState::preserveCase,      &FormState::searchInside};
    for (auto flag : flags) state.*flag = 1;
    state.searchContents = state.dateCreated = state.useWord = 0;
    state.nameStringMode = 1;
    state.wordAutoMode = 0;
    state.minSizeKb = 7;
    state.maxSizeKb = 4'000'000'000u;
    state.searchTexts = makeHistory({"find \"me\"", "older\\one"}, "find \"me\"");
    state.replaceTexts = makeHistory({"repl\tace"}, "repl\tace");
    state.directories = makeHistory({"/home/u/src", "/tmp/\xe4"}, "/home/u/src");
    state.fileTypes = makeHistory({".c; .h;", "*.txt;"}, ".c; .h;");
    state.nameStrings = makeHistory({"foo;bar;", "x;"}, "foo;bar;");
    state.options =
        OptionsValues{0, 0, ".orig", 0, 1, "/var/log/t.log", 0, 55, "doc", 10'485'760, 2'048, 0, "/tmp/work", 1, 1, 0, 6};
    state.warningBits = 0x8000'0003;

    ASSERT_TRUE(SaveFormSettings(store, state, normalize));
    ASSERT_TRUE(WriteOptionsSettings(store, state.options));
    EXPECT_EQ(loadState(), state);
    EXPECT_EQ(store.GetProfileInt(kFormSection, "Dateien ohne Treffer", 0), 1u);
    EXPECT_EQ(store.GetProfileInt(kFormSection, "Rückverweise", 0), 1u);
    EXPECT_EQ(store.GetProfileInt(kFormSection, "Schreibweise übernehmen", 0), 1u);
}

TEST_F(FormSettingsTest, AttributeBitsAboveTheFiveAreIgnoredAndWrittenAsZero)
{
    store.WriteProfileInt(kFormSection, "Dateiatribute", 0xffff'ffe5);  // 1 + 4 + 32...
    FormState state = loadState();
    EXPECT_EQ(PackAttributeBits(state), 5u);
    EXPECT_TRUE(state.attributesOnDirs && state.skipArchive && !state.skipHidden);
    ASSERT_TRUE(SaveFormSettings(store, state, normalize));
    EXPECT_EQ(store.GetProfileInt(kFormSection, "Dateiatribute", 0), 5u);
}

TEST_F(FormSettingsTest, WarningBitsOutsideTheKnownOnesAreWrittenBackAsRead)
{
    store.WriteProfileInt(kOptionsSection, "Dlgzeig", 0xf0ff'ffff);
    FormState state = loadState();
    OptOutOfWarning(state.warningBits, WarningBit::BackupOff);
    EXPECT_FALSE(IsWarningShown(state.warningBits, WarningBit::BackupOff));
    ASSERT_TRUE(SaveFormSettings(store, state, normalize));
    EXPECT_EQ(store.GetProfileInt(kOptionsSection, "Dlgzeig", 0), 0xf0ff'fffdu);
}

TEST_F(FormSettingsTest, StoredEmptyFileTypesGiveAnEmptyHistory)
{
    store.WriteProfileString(kFormSection, "Dateitypen", "");
    const FormState state = loadState();
    EXPECT_TRUE(state.fileTypes.entries.empty());
    EXPECT_EQ(state.fileTypes.text, "");
}

TEST_F(FormSettingsTest, DirectoryHistoryEndsAtTheFirstMissingOrEmptyValue)
{
    for (const char* name : {"Verz0", "Verz1", "Verz2", "Verz4", "Verz5"}) store.WriteProfileString(kFormSection, name, name);
    EXPECT_EQ(loadState().directories.entries, (Entries{"Verz0", "Verz1", "Verz2"}));
    store.WriteProfileString(kFormSection, "Verz3", "");
    EXPECT_EQ(loadState().directories.entries, (Entries{"Verz0", "Verz1", "Verz2"}));
    EXPECT_EQ(loadState().directories.text, "Verz0");
}

TEST_F(FormSettingsTest, TwelveDirectoriesWriteTenAndLoadNine)
{
    FormState state = loadState();
    for (int i = 0; i < 12; ++i) state.directories.entries.push_back("/d" + std::to_string(i));
    state.directories.text = "/d0";
    ASSERT_TRUE(SaveFormSettings(store, state, normalize));
    EXPECT_EQ(storedValue("Verz9"), "/d9");
    EXPECT_EQ(storedValue("Verz10"), "<absent>");
    const FormState loaded = loadState();
    EXPECT_EQ(loaded.directories.entries.size(), 9u);
    EXPECT_EQ(loaded.directories.entries.back(), "/d8");

    // The current directory last in a long list still leads; the names stay
    // one digit long.
    state.directories.text = "/d11";
    ASSERT_TRUE(SaveFormSettings(store, state, normalize));
    EXPECT_EQ(storedValue("Verz0"), "/d11");
    EXPECT_EQ(storedValue("Verz1"), "/d0");
    EXPECT_EQ(storedValue("Verz9"), "/d8");
    EXPECT_EQ(storedValue("Verz10"), "<absent>");
}

TEST_F(FormSettingsTest, CurrentDirectoryIsWrittenOnceUnlessItDiffersInCase)
{
    FormState state = loadState();
    state.directories = makeHistory({"/a", "/b", "/c"}, "/b");
    ASSERT_TRUE(SaveFormSettings(store, state, normalize));
    EXPECT_EQ(loadState().directories.entries, (Entries{"/b", "/a", "/c"}));

    store.WriteProfileString(kFormSection, std::nullopt, {});
    state.directories = makeHistory({"/a", "/B"}, "/b");
    ASSERT_TRUE(SaveFormSettings(store, state, normalize));  // the commit appends "/b"
    EXPECT_EQ(loadState().directories.entries, (Entries{"/b", "/a", "/B"}));
}

TEST_F(FormSettingsTest, TypedSearchTextJoinsTheHistoryAheadOfTheOthers)
{
    FormState state = loadState();
    state.searchTexts = makeHistory({"a", "b"}, "c");
    ASSERT_TRUE(SaveFormSettings(store, state, normalize));
    const FormState loaded = loadState();
    EXPECT_EQ(loaded.searchTexts.text, "c");
    EXPECT_EQ(loaded.searchTexts.entries, (Entries{"c", "a", "b"}));
}

TEST_F(FormSettingsTest, EmptyReplacementTextGivesWayToTheFirstHistoryEntry)
{
    FormState state = loadState();
    state.replaceTexts = makeHistory({"first", "second"}, "");
    ASSERT_TRUE(SaveFormSettings(store, state, normalize));
    EXPECT_EQ(storedValue("Ersetzstring"), "first");
    EXPECT_EQ(loadState().replaceTexts.text, "first");

    // With no history at all the empty text itself is stored.
    state.replaceTexts = makeHistory({}, "", -1);
    ASSERT_TRUE(SaveFormSettings(store, state, normalize));
    EXPECT_EQ(storedValue("Ersetzstring"), "");
}

TEST_F(FormSettingsTest, SearchTextStaysEmptyWhenOnlyLaterEntriesExist)
{
    store.WriteProfileString(kFormSection, "Suchstring1", "older");
    const FormState state = loadState();
    EXPECT_EQ(state.searchTexts.text, "");
    EXPECT_EQ(state.searchTexts.entries, (Entries{"older"}));
}

TEST_F(FormSettingsTest, TypedFileTypesAndNameStringsAreCommittedInTheirStoredForm)
{
    FormState state = loadState();
    state.fileTypes.text = "CPP, h";
    state.nameStrings.text = "test";
    ASSERT_TRUE(SaveFormSettings(store, state, normalize));
    EXPECT_EQ(storedValue("Dateitypen"), "#*.txt;#*.h;*.cpp;#.cpp; .h;");
    EXPECT_EQ(storedValue("Dateinamenstrings"), "%test;");

    state.fileTypes.entries.clear();
    state.fileTypes.text.clear();
    ASSERT_TRUE(SaveFormSettings(store, state, normalize));
    EXPECT_EQ(storedValue("Dateitypen"), "");
}

}  // namespace
}  // namespace tarnwick::settings
