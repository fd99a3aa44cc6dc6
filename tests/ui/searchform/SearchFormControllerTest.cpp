// The search form's decisions, without any widget: checks before a run,
// hand-over to the worker, completion, histories and enabling rules.
#include "ui/searchform/SearchFormController.h"

#include <gtest/gtest.h>

#include <limits>

#include "engine/Messages.h"
#include "engine/log/OperationLog.h"
#include "engine/worker/Notifier.h"
#include "formjob/FormJob.h"
#include "platform/Clock.h"
#include "platform/CodePage.h"
#include "results/ResultList.h"
#include "settings/ProfileStore.h"
#include "tests/support/TempTree.h"
#include "tests/ui/support/SearchFormFakes.h"
#include "ui/searchform/SearchFormListener.h"
#include "ui/searchform/SearchFormTexts.h"

namespace tarnwick::ui {
namespace {

const CodePage& Utf8()
{
    static const CodePage page("UTF-8");
    return page;
}

struct RecordingListener final : FormListener {
    std::vector<bool> busy;
    std::vector<bool> expanded;
    std::vector<std::string> status;
    int selectedEnded = 0;
    int filesChanging = 0;
    void busyChanged(bool value) override { busy.push_back(value); }
    void expandedChanged(bool value) override { expanded.push_back(value); }
    void statusTextChanged(const std::string& text) override { status.push_back(text); }
    void selectedReplaceEnded() override { ++selectedEnded; }
    void filesAboutToChange() override { ++filesChanging; }
};

class SearchFormControllerTest : public ::testing::Test {
protected:
    static constexpr std::int64_t kNow = 1'700'000'000;

    void make(settings::ProfileStore* store = nullptr, std::shared_ptr<CommandRunner> runner = nullptr)
    {
        FormWorkerParts parts;
        parts.results = results;
        parts.notifier = notifier;
        parts.runner = std::move(runner);
        form = std::make_unique<SearchFormController>(FormServices{prompts, clock, Utf8(), store}, std::move(parts));
        form->setListener(&listener);
        form->initialize();
    }

    // A form ready to search the temporary tree for "needle".
    void makeReadyToSearch(std::shared_ptr<CommandRunner> runner = nullptr)
    {
        make(nullptr, std::move(runner));
        form->setComboText(FormCombo::SearchText, "needle");
        form->setComboText(FormCombo::Directory, tree.root());
        form->setAllFileTypes(true);
    }

    // Waits for the worker's completion message and hands it to the form.
    std::optional<UserMessage> finishRun()
    {
        const std::optional<UserMessage> message = notifier->waitForMessage();
        if (message) form->runs().handleWorkerMessage(*message);
        return message;
    }

    std::vector<std::string> topLevelTexts() const
    {
        std::vector<std::string> texts;
        for (ItemHandle item = results->FirstTopLevelItem(); item != kNoItem; item = results->NextSibling(item))
            texts.push_back(results->ColumnText(item, ResultColumn::FileOrContext));
        return texts;
    }

    test::TempTree tree;
    test::ScriptedPrompts prompts;
    FixedClock clock{kNow};
    RecordingListener listener;
    std::shared_ptr<ResultList> results = std::make_shared<ResultList>();
    std::shared_ptr<test::RecordingNotifier> notifier = std::make_shared<test::RecordingNotifier>();
    std::unique_ptr<SearchFormController> form;
};

// --- checks before a run ---

TEST_F(SearchFormControllerTest, SearchChecksItsInputsInTheFixedOrder)
{
    make();
    form->fields().searchContents = 0;
    const auto attempt = [&] {
        prompts.shown.clear();
        EXPECT_FALSE(form->runs().startSearchRun());
        return prompts.shown.size() == 1 ? prompts.shown.front() : std::string("(none or several)");
    };
    // An empty directory does not hide the missing search text.
    EXPECT_EQ(attempt(), text::kNoSearchText);
    form->setComboText(FormCombo::SearchText, "x");
    EXPECT_EQ(attempt(), text::kNoDirectory);
    form->setComboText(FormCombo::Directory, tree.root());
    EXPECT_EQ(attempt(), text::kNoFileTypes);
    form->setComboText(FormCombo::FileTypes, "*.txt;");
    EXPECT_EQ(attempt(), text::kNothingToSearch);
    form->fields().searchDirNames = 1;
    prompts.shown.clear();
    EXPECT_TRUE(form->runs().startSearchRun());
    EXPECT_TRUE(prompts.shown.empty());
    EXPECT_EQ(finishRun(), UserMessage::SearchDone);
}

TEST_F(SearchFormControllerTest, ReplaceAsksAboutAnEmptyReplacementBeforeCheckingTheDirectory)
{
    make();
    EXPECT_FALSE(form->runs().startReplaceRun());
    EXPECT_EQ(prompts.shown, std::vector<std::string>{text::kNoSearchText});

    form->setComboText(FormCombo::SearchText, "x");
    prompts.shown.clear();
    prompts.okCancelAnswers = {false};
    EXPECT_FALSE(form->runs().startReplaceRun());
    EXPECT_EQ(prompts.shown, std::vector<std::string>{text::kEmptyReplacementQuestion});

    prompts.shown.clear();
    EXPECT_FALSE(form->runs().startReplaceRun());
    EXPECT_EQ(prompts.shown, (std::vector<std::string>{text::kEmptyReplacementQuestion, text::kNoDirectory}));
    EXPECT_FALSE(form->runs().isBusy());
    EXPECT_EQ(form->runs().lastRunKind(), RunKind::None);
}

TEST_F(SearchFormControllerTest, ReplaceInAllTypesWarnsUntilTheUserOptsOut)
{
    makeReadyToSearch();
    form->setComboText(FormCombo::ReplaceText, "pin");
    // "Abbrechen" with the box ticked: no run, but the warning is gone for good.
    prompts.hinweisAnswers = {{false, true}};
    EXPECT_FALSE(form->runs().startReplaceRun());
    EXPECT_EQ(prompts.shown, std::vector<std::string>{formtext::kWarnReplaceInAllTypes});
    EXPECT_EQ(form->state().warningBits & settings::WarningBit::ReplaceInAllTypes, 0u);
    EXPECT_NE(form->state().warningBits & settings::WarningBit::WordOff, 0u);

    prompts.shown.clear();
    EXPECT_TRUE(form->runs().startReplaceRun());
    EXPECT_TRUE(prompts.shown.empty());
    EXPECT_EQ(finishRun(), UserMessage::ReplaceDone);
}

TEST_F(SearchFormControllerTest, AReplacementWithABadEscapeStartsNothing)
{
    makeReadyToSearch();
    form->fields().specialCharacters = 1;
    form->fields().warningBits = 0;
    form->setComboText(FormCombo::ReplaceText, "a\\qb");
    EXPECT_FALSE(form->runs().startReplaceRun());
    EXPECT_EQ(prompts.shown, std::vector<std::string>{text::kEscapeUnknown});
    EXPECT_FALSE(form->runs().isBusy());
    EXPECT_EQ(results->ItemCount(), 0u);
}

// "Rückverweise im Ersetzungstext": a reference the expression cannot fill
// is refused before the run with its message; a good one reaches the worker
// as the format.
TEST_F(SearchFormControllerTest, CapturesAreCheckedBeforeTheRun)
{
    tree.write("a.txt", "needle\n");
    makeReadyToSearch();
    form->fields().warningBits = 0;
    form->setRegularExpression(true);
    form->fields().replacementCaptures = 1;
    form->setComboText(FormCombo::SearchText, "(?<word>ne+)dle");
    form->setComboText(FormCombo::ReplaceText, "$2");
    EXPECT_FALSE(form->runs().startReplaceRun());
    EXPECT_EQ(prompts.shown,
              std::vector<std::string>{"Der Ersetzungstext verweist auf die Gruppe $2, der Ausdruck hat aber nur 1 Gruppe."});
    EXPECT_FALSE(form->runs().isBusy());

    form->setComboText(FormCombo::ReplaceText, "\\U${word}");
    ASSERT_TRUE(form->runs().startReplaceRun());
    EXPECT_EQ(form->runs().workerReplacement(), "\\U$+{word}");
    finishRun();
    EXPECT_EQ(tree.read("a.txt"), "NEE\n");  // the whole match "needle" replaced
}

// "Dateien ohne Treffer auflisten": a replace is refused before it asks
// anything or clears the list, a search of names too; a search of contents
// lists the files without the text and counts them in its summary.
TEST_F(SearchFormControllerTest, FilesWithoutHitsRefuseAReplaceAndListWhatASearchDidNotFind)
{
    tree.write("a.txt", "needle\n");
    tree.write("b.txt", "hay\n");
    makeReadyToSearch();
    form->fields().filesWithoutHits = 1;
    form->setComboText(FormCombo::ReplaceText, "");
    EXPECT_FALSE(form->runs().startReplaceRun());
    EXPECT_FALSE(form->runs().startReplacePreview());
    EXPECT_EQ(prompts.shown, (std::vector<std::string>{text::kWithoutHitsNoReplace, text::kWithoutHitsNoReplace}));
    EXPECT_EQ(results->ItemCount(), 0u);
    EXPECT_FALSE(form->runs().isBusy());

    prompts.shown.clear();
    form->fields().searchFileNames = 1;
    EXPECT_FALSE(form->runs().startSearchRun());
    EXPECT_EQ(prompts.shown, std::vector<std::string>{text::kWithoutHitsNeedsContents});

    form->fields().searchFileNames = 0;
    ASSERT_TRUE(form->runs().startSearchRun());
    EXPECT_EQ(finishRun(), UserMessage::SearchDone);
    EXPECT_EQ(topLevelTexts(),
              (std::vector<std::string>{"Suche nach : needle", tree.path("b.txt"),
                                        "Suche abgeschlossen. 1 Dateien ohne Treffer wurden aufgelistet."}));
}

// --- runs and their completion ---

TEST_F(SearchFormControllerTest, ASearchListsItsHitsAndEndsWithTheSummary)
{
    tree.write("a.txt", "one needle, two Needle\n");
    tree.write("sub/b.txt", "needle\n");
    tree.write("c.txt", "nothing\n");
    makeReadyToSearch();
    form->fields().includeSubfolders = 1;
    ASSERT_TRUE(form->runs().startSearchRun());
    EXPECT_TRUE(form->runs().isBusy());
    EXPECT_EQ(form->runs().lastRunKind(), RunKind::Search);
    EXPECT_TRUE(form->runs().lastRunWasSearch());

    EXPECT_EQ(finishRun(), UserMessage::SearchDone);
    const std::vector<std::string> texts = topLevelTexts();
    ASSERT_GE(texts.size(), 4u);
    EXPECT_EQ(texts.front(), "Suche nach : needle");
    EXPECT_EQ(texts.back(), "Suche abgeschlossen. 3 Einträge in 2 Dateien  wurden gefunden.");
    EXPECT_FALSE(form->runs().isBusy());
    EXPECT_EQ(listener.busy, (std::vector<bool>{true, false}));
    EXPECT_EQ(listener.status.back(), "");
    EXPECT_TRUE(form->runs().runLog().text().empty());
}

TEST_F(SearchFormControllerTest, TheRunMovesTheCurrentTextsToTheTopOfTheirHistories)
{
    makeReadyToSearch();
    form->fields().directories.entries = {"/elsewhere", tree.root()};
    form->fields().searchTexts.entries = {"other", "needle"};
    ASSERT_TRUE(form->runs().startSearchRun());
    finishRun();
    EXPECT_EQ(form->state().directories.entries, (std::vector<std::string>{tree.root(), "/elsewhere"}));
    EXPECT_EQ(form->state().searchTexts.entries, (std::vector<std::string>{"needle", "other"}));
}

TEST_F(SearchFormControllerTest, ALoggedReplaceWritesItsBlockAndASearchOnlyWhenAsked)
{
    tree.write("x.txt", "a a\n");
    makeReadyToSearch();
    form->setComboText(FormCombo::SearchText, "a");
    form->setComboText(FormCombo::ReplaceText, "b");
    form->fields().warningBits = 0;
    settings::OptionsValues options = form->state().options;
    options.useLog = 1;
    options.logFile = tree.path("ops.log");
    options.makeBackup = 0;
    form->applyOptions(options);

    ASSERT_TRUE(form->runs().startSearchRun());
    finishRun();
    EXPECT_EQ(test::ReadFile(tree.path("ops.log")), "");  // only replace runs are logged

    ASSERT_TRUE(form->runs().startReplaceRun());
    EXPECT_EQ(listener.filesChanging, 1);
    EXPECT_EQ(finishRun(), UserMessage::ReplaceDone);
    const std::string log = test::ReadFile(tree.path("ops.log"));
    EXPECT_EQ(log.rfind(LogDateLine(kNow), 0), 0u) << log;
    EXPECT_NE(log.find("Ersetze a durch b\r\n"), std::string::npos) << log;
    EXPECT_NE(log.find("Ersetzen abgeschlossen.  2 Einträge in 1 Dateien wurden ersetzt.\r\n\r\n"), std::string::npos) << log;
    EXPECT_EQ(tree.read("x.txt"), "b b\n");
}

TEST_F(SearchFormControllerTest, StopClearsTheBusyFlagAtOnceAndTheSummaryKeepsTheCountsReached)
{
    auto commands = std::make_shared<test::FakeCommands>();
    commands->body = test::RunUntilStopped(7);
    makeReadyToSearch(commands);
    ASSERT_TRUE(form->runs().startSearchRun());
    ASSERT_TRUE(commands->waitForStarts(1));
    form->runs().stop();
    EXPECT_FALSE(form->runs().isBusy());
    EXPECT_EQ(finishRun(), UserMessage::SearchDone);
    const std::vector<std::string> texts = topLevelTexts();
    ASSERT_GE(texts.size(), 2u);
    EXPECT_EQ(texts[texts.size() - 2], "Suche abgeschlossen. 7 Einträge in 1 Dateien  wurden gefunden.");
}

TEST_F(SearchFormControllerTest, ARunStartedBeforeTheStoppedOneEndedWaitsForIt)
{
    auto commands = std::make_shared<test::FakeCommands>();
    commands->body = test::RunUntilStopped(1);
    makeReadyToSearch(commands);
    ASSERT_TRUE(form->runs().startSearchRun());
    ASSERT_TRUE(commands->waitForStarts(1));
    form->runs().stop();
    form->setComboText(FormCombo::SearchText, "second");
    ASSERT_TRUE(form->runs().startSearchRun());
    EXPECT_TRUE(form->runs().isBusy());

    // The stopped run's end hands over to the waiting one, which then runs.
    EXPECT_EQ(finishRun(), UserMessage::SearchDone);
    EXPECT_TRUE(form->runs().isBusy());
    ASSERT_TRUE(commands->waitForStarts(2));
    EXPECT_EQ(commands->lastInput().searchText, "second");
    EXPECT_EQ(topLevelTexts(), std::vector<std::string>{"Suche nach : second"});
    form->runs().stop();
    EXPECT_EQ(finishRun(), UserMessage::SearchDone);
    EXPECT_FALSE(form->runs().isBusy());
}

TEST_F(SearchFormControllerTest, AnAbortedRunShowsTheWorkersMessageAndDiscardsItsLog)
{
    auto commands = std::make_shared<test::FakeCommands>();
    commands->body = [](WorkerCommand, WorkerState&) { throw 42; };
    makeReadyToSearch(commands);
    ASSERT_TRUE(form->runs().startSearchRun());
    EXPECT_EQ(finishRun(), UserMessage::RunAborted);
    EXPECT_FALSE(form->runs().isBusy());
    EXPECT_TRUE(form->runs().runLog().text().empty());
    EXPECT_EQ(listener.selectedEnded, 1);
    ASSERT_EQ(notifier->messages().size(), 1u);
    form->runs().handleWorkerError("", notifier->messages().front());
    EXPECT_EQ(prompts.shown.back().rfind("Ein Fehler ist bei der Suche nach Dateien aufgetreten.", 0), 0u);
}

// Regression: lowering a regular expression turned \W into \w. It goes to the
// worker as typed and is matched ignoring case instead.
TEST_F(SearchFormControllerTest, ARegularExpressionReachesTheWorkerAsTyped)
{
    auto commands = std::make_shared<test::FakeCommands>();
    makeReadyToSearch(commands);
    form->setComboText(FormCombo::SearchText, "Ab\\W");
    form->fields().regularExpression = 1;
    ASSERT_TRUE(form->runs().startSearchRun());
    finishRun();
    EXPECT_EQ(commands->lastInput().searchText, "Ab\\W");
    form->fields().regularExpression = 0;
    ASSERT_TRUE(form->runs().startSearchRun());
    finishRun();
    EXPECT_EQ(commands->lastInput().searchText, "ab\\w");
}

TEST_F(SearchFormControllerTest, TheConversionStartsWithoutAnyInputButItsFolderAndMapsTheChoice)
{
    auto commands = std::make_shared<test::FakeCommands>();
    make(nullptr, commands);
    // Without a folder there is nothing to convert: refused, not an empty completion.
    EXPECT_FALSE(form->runs().convertFileNames());
    EXPECT_EQ(prompts.shown, std::vector<std::string>{text::kNoDirectory});
    EXPECT_EQ(topLevelTexts().back(), text::kRunNotStarted);
    prompts.shown.clear();
    form->setComboText(FormCombo::Directory, tree.root());
    prompts.renameChoice = RenameChoice::OnlyUpperCase;
    ASSERT_TRUE(form->runs().convertFileNames());
    EXPECT_TRUE(prompts.shown.empty());
    EXPECT_EQ(form->runs().lastRunKind(), RunKind::Rename);
    EXPECT_FALSE(form->runs().lastRunWasSearch());
    EXPECT_EQ(form->state().renameOnlyUpperCase, 1);
    EXPECT_EQ(finishRun(), UserMessage::RenameDone);
    EXPECT_EQ(commands->lastInput().renameArgument, RenameArgument::OnlyAllCapitals);
    EXPECT_EQ(topLevelTexts().front(), "Wandle Dateinamen in Kleinbuchstaben um");

    prompts.renameChoice = RenameChoice::AllNames;
    ASSERT_TRUE(form->runs().convertFileNames());
    finishRun();
    EXPECT_EQ(commands->lastInput().renameArgument, RenameArgument::All);

    prompts.renameChoice.reset();  // "Abbrechen"
    EXPECT_FALSE(form->runs().convertFileNames());
    EXPECT_EQ(commands->starts(), 2);
}

TEST_F(SearchFormControllerTest, ReplaceInMarkedResultsNeedsASearchAndAsksAboutAnEmptyReplacement)
{
    tree.write("a.txt", "needle needle\n");
    makeReadyToSearch();
    EXPECT_FALSE(form->runs().startReplaceInMarkedResults());  // no search yet
    ASSERT_TRUE(form->runs().startSearchRun());
    finishRun();

    prompts.okCancelAnswers = {false};
    EXPECT_FALSE(form->runs().startReplaceInMarkedResults());
    EXPECT_EQ(prompts.shown, std::vector<std::string>{text::kEmptyReplacementQuestion});
    EXPECT_FALSE(form->runs().isBusy());

    form->setComboText(FormCombo::ReplaceText, "pin");
    ASSERT_TRUE(form->runs().startReplaceInMarkedResults());
    EXPECT_TRUE(form->runs().isBusy());
    EXPECT_EQ(form->runs().workerReplacement(), "pin");
    EXPECT_EQ(finishRun(), UserMessage::SelectedDone);
    EXPECT_FALSE(form->runs().isBusy());
    EXPECT_EQ(listener.selectedEnded, 1);
    EXPECT_TRUE(form->runs().lastRunWasSearch());
}

// A preview between a search and a replace in its marked results must not
// take the search's place: the results, the worker's inputs (which the
// export reports) and the marked-results command stay the search's.
TEST_F(SearchFormControllerTest, APreviewLeavesTheLastRealRunInPlaceAndAStoppedOneShowsNothing)
{
    tree.write("a.txt", "needle\n");
    makeReadyToSearch();
    ASSERT_TRUE(form->runs().startSearchRun());
    finishRun();
    const std::vector<std::string> searchRows = topLevelTexts();
    std::shared_ptr<const ReplacePreviewCollector> shown;
    form->runs().setPreviewHandler([&](std::shared_ptr<const ReplacePreviewCollector> preview) { shown = std::move(preview); });

    form->setComboText(FormCombo::ReplaceText, "pin");
    ASSERT_TRUE(form->runs().startReplacePreview());
    EXPECT_EQ(finishRun(), UserMessage::ReplaceDone);
    ASSERT_TRUE(shown);
    ASSERT_EQ(shown->entries().size(), 1u);
    EXPECT_EQ(shown->entries()[0].replacements, 1);
    EXPECT_EQ(tree.read("a.txt"), "needle\n");
    EXPECT_EQ(topLevelTexts(), searchRows);
    EXPECT_TRUE(form->runs().lastRunWasSearch());
    EXPECT_EQ(form->runs().worker().lastInputs().command, WorkerCommand::Search);
    EXPECT_EQ(form->runs().worker().lastInputs().replacementText, "");

    shown.reset();
    ASSERT_TRUE(form->runs().startReplacePreview());
    form->runs().stop();
    finishRun();
    EXPECT_FALSE(shown);
    EXPECT_FALSE(form->runs().startPreviewedReplace());
    EXPECT_EQ(tree.read("a.txt"), "needle\n");
}

// --- histories ---

TEST_F(SearchFormControllerTest, LeavingTheFileTypeBoxNormalisesTheTextAndAddsItOnce)
{
    make();
    form->setComboText(FormCombo::FileTypes, "txt, doc");
    form->commitComboText(FormCombo::FileTypes);
    EXPECT_EQ(form->combo(FormCombo::FileTypes).text, ".txt; .doc;");
    form->commitComboText(FormCombo::FileTypes);
    EXPECT_EQ(form->combo(FormCombo::FileTypes).entries, std::vector<std::string>{".txt; .doc;"});

    form->setComboText(FormCombo::FileTypes, "*.h; *.cpp");
    form->commitComboText(FormCombo::FileTypes);
    EXPECT_EQ(form->combo(FormCombo::FileTypes).text, "*.h; *.cpp;");

    form->setComboText(FormCombo::NameStrings, "rechnung");
    form->commitComboText(FormCombo::NameStrings);
    EXPECT_EQ(form->combo(FormCombo::NameStrings).text, "rechnung;");
}

TEST_F(SearchFormControllerTest, AnExistingEntryIsSelectedEvenWhenAnEarlierOneBeginsWithIt)
{
    make();
    form->fields().searchTexts.entries = {"needles", "needle"};
    form->setComboText(FormCombo::SearchText, "needle");
    form->commitComboText(FormCombo::SearchText);
    EXPECT_EQ(form->combo(FormCombo::SearchText).entries.size(), 2u);
    EXPECT_EQ(form->combo(FormCombo::SearchText).selected, 1);
}

TEST_F(SearchFormControllerTest, RemoveTakesOnlyAnEntryThatIsThereAndSelectsTheOneBefore)
{
    make();
    form->fields().fileTypes.entries = {"*.txt;", "*.h;", "*.md;"};
    form->setComboText(FormCombo::FileTypes, "*.rs;");
    form->removeComboEntry(FormCombo::FileTypes);
    EXPECT_EQ(form->combo(FormCombo::FileTypes).entries.size(), 3u);

    form->setComboText(FormCombo::FileTypes, "*.h;");
    form->removeComboEntry(FormCombo::FileTypes);
    EXPECT_EQ(form->combo(FormCombo::FileTypes).entries, (std::vector<std::string>{"*.txt;", "*.md;"}));
    EXPECT_EQ(form->combo(FormCombo::FileTypes).text, "*.txt;");

    form->setComboText(FormCombo::FileTypes, "*.txt;");
    form->removeComboEntry(FormCombo::FileTypes);
    EXPECT_EQ(form->combo(FormCombo::FileTypes).text, "*.md;");
    EXPECT_EQ(form->combo(FormCombo::FileTypes).selected, 0);
}

TEST_F(SearchFormControllerTest, BrowseAddsANewFolderOnTopAndOnlyShowsAKnownOne)
{
    make();
    form->fields().directories.entries = {"/home/anna/Projekte"};
    form->setComboText(FormCombo::Directory, "/start");
    prompts.chosenDirectory = "/home/anna/projekte";
    form->browseDirectory();
    EXPECT_EQ(prompts.directoryAskedFor, "/start");
    EXPECT_EQ(form->combo(FormCombo::Directory).text, "/home/anna/projekte");
    EXPECT_EQ(form->combo(FormCombo::Directory).entries.size(), 1u);

    prompts.chosenDirectory = "/srv/daten";
    form->browseDirectory();
    EXPECT_EQ(form->combo(FormCombo::Directory).entries.front(), "/srv/daten");
    EXPECT_EQ(form->combo(FormCombo::Directory).selected, 0);

    prompts.chosenDirectory.reset();  // "Abbrechen"
    form->browseDirectory();
    EXPECT_EQ(form->combo(FormCombo::Directory).text, "/srv/daten");
}

// --- enabling rules and the view ---

TEST_F(SearchFormControllerTest, SwitchingWordOffWarnsAndCancelKeepsItOn)
{
    make();
    prompts.hinweisAnswers = {{false, true}};
    EXPECT_TRUE(form->setUseWord(false));
    EXPECT_EQ(form->state().useWord, 1);
    EXPECT_EQ(prompts.shown, std::vector<std::string>{formtext::kWarnWordOff});

    // The box was ticked: no warning any more.
    EXPECT_FALSE(form->setUseWord(false));
    EXPECT_EQ(prompts.shown.size(), 1u);
    EXPECT_FALSE(form->enabling().wordModes);
    EXPECT_TRUE(form->enabling().regularExpression);
}

TEST_F(SearchFormControllerTest, EnablingFollowsTheFlagsAsTheirHandlersDecide)
{
    make();
    EXPECT_EQ(form->enabling(), FormEnabling{});
    form->setAllFileTypes(true);
    form->setSizeFilter(true);
    form->setDateFilter(true);
    EXPECT_FALSE(form->enabling().fileTypes);
    EXPECT_TRUE(form->enabling().sizeFields);
    EXPECT_TRUE(form->enabling().dateControls);

    EXPECT_FALSE(form->enabling().replacementCaptures);
    form->setRegularExpression(true);
    EXPECT_FALSE(form->enabling().wholeWords);
    EXPECT_TRUE(form->enabling().replacementCaptures);
    // A replacement's case is asked for only while a replace can run.
    EXPECT_TRUE(form->enabling().preserveCase);
    form->setFilesWithoutHits(true);
    EXPECT_FALSE(form->enabling().preserveCase);
    form->setFilesWithoutHits(false);
    EXPECT_TRUE(form->enabling().preserveCase);
    form->setWordAutoMode(WordAutoMode::AllTypes);
    EXPECT_FALSE(form->enabling().regularExpression);
    // With a regular expression, whole words apply to the documents Word searches.
    form->fields().warningBits = 0;
    form->setUseWord(true);
    EXPECT_TRUE(form->enabling().wholeWords);
    form->setUseWord(false);
    EXPECT_FALSE(form->enabling().wholeWords);
    EXPECT_TRUE(form->enabling().regularExpression);
    // Disabled controls keep their values for the run.
    EXPECT_EQ(form->state().regularExpression, 1);
}

// With expressions in documents, every document takes the expression as such:
// it stays available when every file is a document, and whole words do not
// apply to it.
TEST_F(SearchFormControllerTest, ExpressionsInDocumentsKeepTheExpressionAndDropWholeWords)
{
    make();
    form->setRegularExpression(true);
    form->setWordAutoMode(WordAutoMode::AllTypes);
    ASSERT_FALSE(form->enabling().regularExpression);
    settings::OptionsValues options = form->state().options;
    options.wordRegex = 1;
    form->applyOptions(options);
    EXPECT_TRUE(form->enabling().regularExpression);
    EXPECT_FALSE(form->enabling().wholeWords);
    options.wordRegex = 0;
    form->applyOptions(options);
    EXPECT_FALSE(form->enabling().regularExpression);
    EXPECT_TRUE(form->enabling().wholeWords);
}

TEST_F(SearchFormControllerTest, AFirstStartComesUpCollapsedWithTheDefaultsAndTheLastDay)
{
    settings::ProfileStore store(tree.path("Tarnwick.conf"));
    make(&store);
    EXPECT_FALSE(form->isExpanded());
    EXPECT_EQ(listener.expanded, std::vector<bool>{false});
    EXPECT_EQ(form->expandButtonText(), "Erweitert  >>");
    EXPECT_EQ(form->combo(FormCombo::FileTypes).text, "*.txt;");
    EXPECT_EQ(form->state().searchContents, 1);
    EXPECT_EQ(form->state().useWord, 1);
    EXPECT_EQ(session::WordAutoModeOf(form->state().wordAutoMode), WordAutoMode::ByExtension);
    EXPECT_EQ(form->dateFrom(), kNow - SearchFormController::kOneDay);
    EXPECT_EQ(form->dateTo(), kNow);

    form->toggleExpanded();
    EXPECT_EQ(form->expandButtonText(), "Erweitert  <<");
    form->toggleExpanded(true);  // the menu with the row hidden: ends expanded
    EXPECT_TRUE(form->isExpanded());
}

TEST_F(SearchFormControllerTest, SavedSettingsComeBackAtTheNextStart)
{
    settings::ProfileStore store(tree.path("Tarnwick.conf"));
    make(&store);
    form->setComboText(FormCombo::SearchText, "Rechnung");
    form->setComboText(FormCombo::FileTypes, "md");
    form->fields().includeSubfolders = 1;
    form->setRelativeDates(true);
    form->fields().dateRelativeCount = 12;
    form->fields().dateRelativeUnit = 1;
    form->toggleExpanded();
    form->saveFormSettings();
    EXPECT_EQ(form->combo(FormCombo::FileTypes).text, ".md;");  // committed on the way

    form.reset();
    make(&store);
    EXPECT_EQ(form->combo(FormCombo::SearchText).text, "Rechnung");
    EXPECT_EQ(form->combo(FormCombo::FileTypes).text, "*.txt;");  // entry 0 of the stored history
    EXPECT_EQ(form->combo(FormCombo::FileTypes).entries.back(), ".md;");
    EXPECT_EQ(form->state().includeSubfolders, 1);
    EXPECT_EQ(form->state().dateRelative, 1);
    EXPECT_EQ(form->state().dateRelativeCount, 12u);
    EXPECT_EQ(form->state().dateRelativeUnit, 1u);
    EXPECT_TRUE(form->isExpanded());
}

TEST_F(SearchFormControllerTest, ARelativeRangeEndsWhenTheRunStartsNotWhenTheFormWasSetUp)
{
    makeReadyToSearch();
    form->setDateFilter(true);
    form->setRelativeDates(true);
    EXPECT_FALSE(form->enabling().absoluteDates);
    EXPECT_TRUE(form->enabling().relativeDates);
    form->fields().dateRelativeCount = 3;
    clock.set(kNow + 5 * SearchFormController::kOneDay);
    ASSERT_TRUE(form->runs().startSearchRun());
    EXPECT_EQ(finishRun(), UserMessage::SearchDone);
    const SearchJob& job = form->runs().worker().lastInputs().job;
    EXPECT_EQ(job.dateFrom, kNow + 2 * SearchFormController::kOneDay);
    EXPECT_EQ(job.dateTo, std::numeric_limits<std::int64_t>::max());
}

TEST_F(SearchFormControllerTest, ARunWhoseFiltersAdmitNoFileSaysSoAfterTheSummary)
{
    tree.write("notes.md", "needle\n");
    tree.write("plain.txt", "nothing\n");
    makeReadyToSearch();
    form->setAllFileTypes(false);
    form->setComboText(FormCombo::FileTypes, "*.rst;");
    ASSERT_TRUE(form->runs().startSearchRun());
    EXPECT_EQ(finishRun(), UserMessage::SearchDone);
    EXPECT_EQ(topLevelTexts().back(),
              "Suche abgeschlossen. 0 Einträge in 0 Dateien  wurden gefunden. Keine Datei entsprach den Filtern.");

    // A file that passed the filters without a hit leaves the summary as it was.
    form->setComboText(FormCombo::FileTypes, "*.txt;");
    ASSERT_TRUE(form->runs().startSearchRun());
    EXPECT_EQ(finishRun(), UserMessage::SearchDone);
    EXPECT_EQ(topLevelTexts().back(), "Suche abgeschlossen. 0 Einträge in 0 Dateien  wurden gefunden.");
}

TEST_F(SearchFormControllerTest, AStoppedRunSaysNothingAboutTheFiltersButThatItIsIncomplete)
{
    auto commands = std::make_shared<test::FakeCommands>();
    commands->body = test::RunUntilStopped(0);  // stopped before any file passed
    makeReadyToSearch(commands);
    ASSERT_TRUE(form->runs().startSearchRun());
    ASSERT_TRUE(commands->waitForStarts(1));
    form->runs().stop();
    EXPECT_EQ(finishRun(), UserMessage::SearchDone);
    EXPECT_EQ(topLevelTexts(),
              (std::vector<std::string>{"Suche nach : needle", "Suche abgeschlossen. 0 Einträge in 1 Dateien  wurden gefunden.",
                                        text::kRunStopped}));
}

TEST_F(SearchFormControllerTest, ASavedSearchComesBackIntoTheFormAndIsReplacedOnlyAfterAsking)
{
    settings::ProfileStore store(tree.path("Tarnwick.conf"));
    make(&store);
    form->setComboText(FormCombo::SearchText, "Rechnung");
    form->setDateFilter(true);
    ASSERT_TRUE(form->saveSearch("Belege"));
    form->setComboText(FormCombo::SearchText, "anders");
    prompts.okCancelAnswers = {false};
    EXPECT_FALSE(form->saveSearch("Belege"));  // the user kept the old one
    EXPECT_FALSE(form->saveSearch(" "));
    EXPECT_EQ(prompts.shown.back(), "Bitte geben Sie einen Namen für die Suche ein.");

    form.reset();
    make(&store);
    form->setDateFilter(false);
    ASSERT_EQ(form->savedSearches().size(), 1u);
    form->loadSavedSearch(0);
    EXPECT_EQ(form->combo(FormCombo::SearchText).text, "Rechnung");
    EXPECT_EQ(form->state().dateFilter, 1);
    EXPECT_TRUE(form->enabling().dateControls);  // the rules follow the loaded values

    EXPECT_TRUE(form->renameSavedSearch(0, "Rechnungen"));
    form->deleteSavedSearch(0);
    EXPECT_TRUE(settings::LoadSavedSearches(store).empty());
}

// --- runs that cannot start, and how runs end ---

// Blanks and separators name no type: the run would admit no file at all.
TEST_F(SearchFormControllerTest, AFileTypeListOfBlanksAndSeparatorsNamesNoType)
{
    makeReadyToSearch();
    form->setAllFileTypes(false);
    for (const std::string typed : {"", " ", ";", " , ; "}) {
        SCOPED_TRACE("'" + typed + "'");
        form->setComboText(FormCombo::FileTypes, typed);
        prompts.shown.clear();
        EXPECT_FALSE(form->runs().startSearchRun());
        EXPECT_EQ(prompts.shown, std::vector<std::string>{text::kNoFileTypes});
    }
}

// A run that cannot start says why in a message and in the list, and never
// ends with a summary as if it had searched.
TEST_F(SearchFormControllerTest, ARunThatCannotStartSaysWhyAndIsNoCompletion)
{
    auto commands = std::make_shared<test::FakeCommands>();
    makeReadyToSearch(commands);
    const std::string missing = tree.path("weg");
    const std::string gone = missing + ": Das Verzeichnis existiert nicht";
    const auto refused = [&](const std::string& header, const std::string& item, const std::string& remark) {
        const std::vector<std::string> texts = topLevelTexts();
        EXPECT_EQ(texts, (std::vector<std::string>{header, item, text::kRunNotStarted}));
        if (texts.size() != 3u) return;
        const ItemHandle error = results->TopLevelItem(1);
        EXPECT_EQ(results->Kind(error), ItemKind::Error);
        EXPECT_EQ(results->ColumnText(error, ResultColumn::Remark), remark);
        EXPECT_FALSE(form->runs().isBusy());
        EXPECT_FALSE(form->runs().lastRunWasSearch());
    };

    form->setComboText(FormCombo::Directory, missing);
    form->setComboText(FormCombo::ReplaceText, "pin");
    EXPECT_FALSE(form->runs().startReplaceRun());
    EXPECT_EQ(prompts.shown.back(), gone);
    refused("Ersetze needle durch pin", missing, "Das Verzeichnis existiert nicht");
    EXPECT_FALSE(form->runs().convertFileNames());
    refused("Wandle Dateinamen in Kleinbuchstaben um", missing, "Das Verzeichnis existiert nicht");

    form->setComboText(FormCombo::Directory, tree.root());
    form->setComboText(FormCombo::SearchText, "");
    EXPECT_FALSE(form->runs().startSearchRun());
    refused("Suche nach : ", text::kNoSearchText, "");
    EXPECT_EQ(commands->starts(), 0);  // nothing ever reached the worker

    // A preview that cannot start leaves the list of the last real run alone.
    form->setComboText(FormCombo::SearchText, "Apf(el");
    form->setRegularExpression(true);
    EXPECT_FALSE(form->runs().startReplacePreview());
    EXPECT_EQ(prompts.shown.back().rfind(text::kInvalidRegex, 0), 0u);
    refused("Suche nach : ", text::kNoSearchText, "");
}

// Until a stopped run has ended it writes into the list: the refusal of the
// next run shows after that run's end, in place of its results.
TEST_F(SearchFormControllerTest, ARefusalWhileAStoppedRunEndsShowsAfterIt)
{
    auto commands = std::make_shared<test::FakeCommands>();
    commands->body = test::RunUntilStopped(1);
    makeReadyToSearch(commands);
    ASSERT_TRUE(form->runs().startSearchRun());
    ASSERT_TRUE(commands->waitForStarts(1));
    form->runs().stop();
    form->setComboText(FormCombo::Directory, tree.path("weg"));
    EXPECT_FALSE(form->runs().startSearchRun());
    EXPECT_EQ(topLevelTexts().front(), "Suche nach : needle");
    EXPECT_EQ(finishRun(), UserMessage::SearchDone);
    EXPECT_EQ(topLevelTexts(), (std::vector<std::string>{"Suche nach : needle", tree.path("weg"), text::kRunNotStarted}));
    EXPECT_FALSE(form->runs().isBusy());
    EXPECT_EQ(commands->starts(), 1);
}

// Only the filters' own doing: a run that met an error item says nothing
// about them (the engine's walk, not the form's checks, meets this one).
TEST_F(SearchFormControllerTest, NoFileMatchedIsNotClaimedNextToAnErrorItem)
{
    auto commands = std::make_shared<test::FakeCommands>();
    commands->body = [](WorkerCommand, WorkerState& state) { state.counters.errors.store(1); };
    makeReadyToSearch(commands);
    ASSERT_TRUE(form->runs().startSearchRun());
    EXPECT_EQ(finishRun(), UserMessage::SearchDone);
    EXPECT_EQ(topLevelTexts().back(), "Suche abgeschlossen. 0 Einträge in 0 Dateien  wurden gefunden.");
}

TEST(SizeField, EmptyMeansItsBoundAndOnlyDigitsCount)
{
    EXPECT_EQ(SizeFieldValue("", 0), 0u);
    EXPECT_EQ(SizeFieldValue("  ", kNoUpperSizeLimit), kNoUpperSizeLimit);
    EXPECT_EQ(SizeFieldValue(" 2048 ", 0), 2048u);
    EXPECT_EQ(SizeFieldValue("99999999999", 0), 0xFFFF'FFFFu);
    EXPECT_EQ(SizeFieldValue("-1", 0), std::nullopt);
    EXPECT_EQ(SizeFieldValue("1 2", 0), std::nullopt);
    EXPECT_EQ(SizeFieldText(kNoUpperSizeLimit, true), "");
    EXPECT_EQ(SizeFieldText(kNoUpperSizeLimit, false), "4294967295");
    EXPECT_EQ(SizeFieldText(0, false), "0");
}

}  // namespace
}  // namespace tarnwick::ui
