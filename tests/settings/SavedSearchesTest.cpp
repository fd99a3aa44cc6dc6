// Saved searches: kept in sections of their own, read back in order, and
// taken into the form without touching its histories and options.
#include "settings/SavedSearches.h"
#include "settings/ProfileStore.h"
#include "tests/support/TempTree.h"

#include <gtest/gtest.h>

namespace tarnwick::settings {
namespace {

FormState FormSearching(const std::string& text)
{
    FormState form;
    form.searchTexts.text = text;
    form.directories.text = "/srv/" + text;
    form.fileTypes.text = "*.md;";
    form.matchCase = 1;
    form.dateFilter = 1;
    form.dateRelative = 1;
    form.dateRelativeCount = 3;
    form.skipHidden = 1;
    form.options.wordAllParts = 1;
    form.filesWithoutHits = 1;
    form.replacementCaptures = 1;
    form.preserveCase = 1;
    form.searchInside = 1;
    return form;
}

TEST(SavedSearches, StoredListsComeBackInOrderAndARemovedOneLeavesNothingBehind)
{
    test::TempTree tree;
    ProfileStore store(tree.path("Tarnwick.conf"));
    EXPECT_TRUE(LoadSavedSearches(store).empty());

    std::vector<SavedSearch> searches;
    EXPECT_TRUE(PutSavedSearch(searches, "  Rechnungen ", FormSearching("Rechnung")));
    EXPECT_TRUE(PutSavedSearch(searches, "Angebote", FormSearching("Angebot")));
    EXPECT_TRUE(PutSavedSearch(searches, "Rechnungen", FormSearching("Beleg")));  // replaces
    ASSERT_TRUE(StoreSavedSearches(store, searches));

    std::vector<SavedSearch> loaded = LoadSavedSearches(store);
    ASSERT_EQ(loaded.size(), 2u);
    EXPECT_EQ(loaded[0].name, "Rechnungen");
    EXPECT_EQ(loaded[0].form.searchTexts.text, "Beleg");
    EXPECT_EQ(loaded[1].form.directories.text, "/srv/Angebot");
    EXPECT_EQ(loaded[1].form.fileTypes.text, "*.md;");
    EXPECT_EQ(loaded[1].form.dateRelativeCount, 3u);
    EXPECT_EQ(loaded[1].form.skipHidden, 1);
    EXPECT_EQ(loaded[1].form.filesWithoutHits, 1);
    EXPECT_EQ(loaded[1].form.replacementCaptures, 1);
    EXPECT_EQ(loaded[1].form.preserveCase, 1);
    EXPECT_EQ(loaded[1].form.searchInside, 1);
    // The one option a saved search keeps: it changes what is found.
    EXPECT_EQ(loaded[1].form.options.wordAllParts, 1);
    EXPECT_EQ(store.GetProfileInt("Gespeicherte Suche 2", "Alle Dokumentteile", 0), 1u);

    RemoveSavedSearch(loaded, 0);
    ASSERT_TRUE(StoreSavedSearches(store, loaded));
    ASSERT_EQ(LoadSavedSearches(store).size(), 1u);
    EXPECT_FALSE(FindSavedSearch(store, "Rechnungen"));
    ASSERT_TRUE(FindSavedSearch(store, "Angebote"));
    EXPECT_EQ(store.GetProfileString("Gespeicherte Suche 2", "Suchstring"), "");  // no stale section
}

// Expressions in documents change what a search finds: a saved search keeps
// that option, while the others stay the form's.
TEST(SavedSearches, KeepWhetherExpressionsAreSearchedInDocuments)
{
    test::TempTree tree;
    ProfileStore store(tree.path("Tarnwick.conf"));
    FormState saved = FormSearching("Rech.ung");
    saved.options.wordRegex = 1;
    ASSERT_TRUE(StoreSavedSearches(store, {{"Ausdruck", saved}, {"Wörtlich", FormSearching("x")}}));

    FormState form;
    form.options.contextLength = 80;
    ApplySavedSearch(*FindSavedSearch(store, "Ausdruck", form), form);
    EXPECT_EQ(form.options.wordRegex, 1);
    EXPECT_EQ(form.options.contextLength, 80u);
    ApplySavedSearch(*FindSavedSearch(store, "Wörtlich", form), form);
    EXPECT_EQ(form.options.wordRegex, 0);
    // A search saved before the option existed keeps the form's setting.
    ASSERT_TRUE(store.WriteProfileString("Gespeicherte Suche 3", "Suchstring", "alt"));
    ASSERT_TRUE(store.WriteProfileString(kSavedSearchesSection, "Name3", "Alt"));
    form.options.wordRegex = 1;
    ApplySavedSearch(*FindSavedSearch(store, "Alt", form), form);
    EXPECT_EQ(form.options.wordRegex, 1);
}

TEST(SavedSearches, NamesMustBeGivenAndUnique)
{
    std::vector<SavedSearch> searches;
    ASSERT_TRUE(PutSavedSearch(searches, "a", {}));
    ASSERT_TRUE(PutSavedSearch(searches, "b", {}));
    const auto refusal = [](const Expected<void>& changed) { return changed ? std::string() : changed.error().detail; };
    EXPECT_EQ(refusal(PutSavedSearch(searches, "   ", {})), "Bitte geben Sie einen Namen für die Suche ein.");
    EXPECT_EQ(refusal(RenameSavedSearch(searches, 1, "a")), "Es gibt schon eine gespeicherte Suche mit dem Namen \"a\".");
    EXPECT_EQ(refusal(RenameSavedSearch(searches, 1, "x\ny")), "Der Name darf keinen Zeilenumbruch enthalten.");
    EXPECT_TRUE(RenameSavedSearch(searches, 1, "b"));  // its own name
    EXPECT_TRUE(RenameSavedSearch(searches, 1, " c "));
    EXPECT_EQ(searches[1].name, "c");
}

TEST(SavedSearches, ApplyingOneKeepsTheFormsHistoriesOptionsAndView)
{
    FormState form;
    form.searchTexts.entries = {"alt", "Beleg"};
    form.options.contextLength = 80;
    form.expandedView = 1;
    form.warningBits = 0;
    ApplySavedSearch({"x", FormSearching("Beleg")}, form);
    EXPECT_EQ(form.searchTexts.text, "Beleg");
    EXPECT_EQ(form.searchTexts.selected, 1);
    EXPECT_EQ(form.searchTexts.entries.size(), 2u);
    EXPECT_EQ(form.matchCase, 1);
    EXPECT_EQ(form.options.contextLength, 80u);
    EXPECT_EQ(form.options.wordAllParts, 1);
    EXPECT_EQ(form.expandedView, 1);
    EXPECT_EQ(form.warningBits, 0u);
}

}  // namespace
}  // namespace tarnwick::settings
