// The options dialog's decisions without widgets: the units shown, the checks
// on OK in their order, the warning's opt-out, and the section written.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "settings/FormState.h"
#include "settings/OptionsSettings.h"
#include "settings/ProfileStore.h"
#include "tests/support/TempTree.h"
#include "ui/options/OptionsDialogLogic.h"
#include "ui/options/OptionsDialogTexts.h"

namespace tarnwick::ui {
namespace {

namespace texts = text::options;
using settings::OptionsValues;
using settings::WarningBit::AllShown;
using settings::WarningBit::BackupOff;

class ScriptedPrompts : public OptionsPrompts {
public:
    explicit ScriptedPrompts(WarningAnswer answer) : m_answer(answer) {}
    WarningAnswer askWarning(const std::string& text) override
    {
        asked.push_back(text);
        return m_answer;
    }
    std::vector<std::string> asked;

private:
    WarningAnswer m_answer;
};

class OptionsDialogLogicTest : public ::testing::Test {
protected:
    std::string configPath() const { return tree.path("Tarnwick.conf"); }
    std::string configText() const { return test::ReadFile(configPath()); }

    // OK on `input`; the refusal's message, or "" when accepted.
    std::string pressOk(OptionsDialogLogic& logic, const OptionsDialogInput& input)
    {
        settings::ProfileStore store(configPath());
        const auto refusal = logic.accept(input, store);
        return refusal ? refusal->message : std::string();
    }

    test::TempTree tree;
    OptionsDialogInput defaults = InputForValues(OptionsValues{});
};

TEST_F(OptionsDialogLogicTest, ShowsLengthsInMegabytesAndKilobytes)
{
    EXPECT_EQ(defaults.splitLengthMb, "50");  // 52428800 bytes
    EXPECT_EQ(defaults.detectLengthKb, "50");  // 51200 bytes
    EXPECT_EQ(defaults.splitMaxOffsetKb, "1");
    OptionsValues odd;
    odd.splitLength = 52'428'800 + 1'048'575;  // whole-number division
    EXPECT_EQ(InputForValues(odd).splitLengthMb, "50");
}

TEST_F(OptionsDialogLogicTest, OkWritesTheSectionInTheDialogsOrderAndUnits)
{
    OptionsDialogLogic logic(OptionsValues{}, AllShown);
    OptionsDialogInput input = defaults;
    input.splitLengthMb = "10";
    input.splitMaxOffsetKb = " 2 ";
    input.detectLengthKb = "0";  // the whole file
    input.backupExtension = " bak";
    input.searchThreads = "8";
    ASSERT_EQ(pressOk(logic, input), "");

    EXPECT_EQ(logic.acceptedValues().splitLength, 10'485'760u);
    EXPECT_EQ(logic.acceptedValues().splitMaxOffset, 2'048u);
    EXPECT_EQ(logic.acceptedValues().detectLength, 0u);
    EXPECT_EQ(logic.acceptedValues().backupExtension, ".bak");
    EXPECT_EQ(logic.acceptedValues().searchThreads, 8u);

    const std::vector<std::string> order = {"Sikop",
                                            "Immer Sikop",
                                            "Log verwenden",
                                            "Kontextl",
                                            "Log Datei",
                                            "Endung Sikop",
                                            "Nur ersetzen log",
                                            "Dateinamenerweiterungen Word",
                                            "Sikop nicht durchsuchen",
                                            "Splitlaenge",
                                            "Split max Offset",
                                            "Temp Verz aktuelles",
                                            "Tem Verzeichnis",
                                            "Nullzeichen ignorieren",
                                            "Erweitertes Enkoding",
                                            "Enkodinglaenge",
                                            "Suchthreads"};
    const std::string text = configText();
    std::size_t at = text.find("[Optionen]");
    ASSERT_NE(at, std::string::npos);
    for (const std::string& name : order) {
        const std::size_t next = text.find("\n" + name + "=", at);
        ASSERT_NE(next, std::string::npos) << name << " missing or out of order in\n" << text;
        at = next + 1;
    }
    settings::ProfileStore store(configPath());
    EXPECT_EQ(settings::ReadOptionsSettings(store), logic.acceptedValues());
}

TEST_F(OptionsDialogLogicTest, ChecksRunInOrderAndRefuseWithoutWriting)
{
    const std::string temp = tree.mkdir("tmp");
    const std::string file = tree.write("file.txt", "x");
    struct Case {
        const char* what;
        void (*edit)(OptionsDialogInput&, const std::string& dir, const std::string& file);
        std::string message;
    };
    const Case cases[] = {
        {"log without a file, before an empty extension",
         [](OptionsDialogInput& in, const std::string&, const std::string&) {
             in.useLog = true;
             in.backupExtension.clear();
         },
         texts::kNoLogFile},
        {"empty extension", [](OptionsDialogInput& in, const std::string&, const std::string&) { in.backupExtension.clear(); },
         texts::kNoBackupExtension},
        {"blanks only count as empty",
         [](OptionsDialogInput& in, const std::string&, const std::string&) { in.backupExtension = "  "; },
         texts::kNoBackupExtension},
        {"wildcard in the extension",
         [](OptionsDialogInput& in, const std::string&, const std::string&) { in.backupExtension = "*.bak"; },
         texts::kBadBackupExtension},
        {"Word list refused even with backups off",
         [](OptionsDialogInput& in, const std::string&, const std::string&) {
             in.makeBackup = false;
             in.wordExtensions = "*.doc";
         },
         texts::kBadWordExtensions},
        {"temporary directory empty",
         [](OptionsDialogInput& in, const std::string&, const std::string&) { in.tempDirIsCurrent = false; }, texts::kBadTempDir},
        {"temporary directory is a file",
         [](OptionsDialogInput& in, const std::string&, const std::string& f) {
             in.tempDirIsCurrent = false;
             in.tempDir = f;
         },
         texts::kBadTempDir},
        {"temporary directory missing",
         [](OptionsDialogInput& in, const std::string& d, const std::string&) {
             in.tempDirIsCurrent = false;
             in.tempDir = d + "/gone";
         },
         texts::kBadTempDir},
        {"number fields before every other check",
         [](OptionsDialogInput& in, const std::string&, const std::string&) {
             in.useLog = true;
             in.detectLengthKb = "5000000";
         },
         "Bitte geben Sie bei \"Dateikodierung\" eine ganze Zahl zwischen 0 und 4194304 ein."},
        {"split length of 0 MB", [](OptionsDialogInput& in, const std::string&, const std::string&) { in.splitLengthMb = "0"; },
         "Bitte geben Sie bei \"Split Länge\" eine ganze Zahl zwischen 1 und 4095 ein."},
    };
    for (const Case& c : cases) {
        OptionsDialogLogic logic(OptionsValues{}, AllShown);
        OptionsDialogInput input = defaults;
        c.edit(input, temp, file);
        EXPECT_EQ(pressOk(logic, input), c.message) << c.what;
        EXPECT_EQ(logic.acceptedValues(), OptionsValues{}) << c.what;
    }
    EXPECT_EQ(configText(), "") << "a refused OK wrote the settings";
}

// A user's trial: a refused number did not say which of the dialog's
// numbers it was. Each one is named as the dialog shows it.
TEST_F(OptionsDialogLogicTest, ARefusedNumberNamesItsField)
{
    struct Case {
        std::string OptionsDialogInput::*text;
        OptionsField field;
        std::string message;
    };
    const Case cases[] = {
        {&OptionsDialogInput::contextLength, OptionsField::ContextLength,
         "Bitte geben Sie bei \"Zeichen vor/Nach Suchbegriff in Ergebnisse anzeigen\" eine ganze Zahl zwischen 0 und "
         "2147483647 ein."},
        {&OptionsDialogInput::detectLengthKb, OptionsField::DetectLength,
         "Bitte geben Sie bei \"Dateikodierung\" eine ganze Zahl zwischen 0 und 4194304 ein."},
        {&OptionsDialogInput::splitLengthMb, OptionsField::SplitLength,
         "Bitte geben Sie bei \"Split Länge\" eine ganze Zahl zwischen 1 und 4095 ein."},
        {&OptionsDialogInput::splitMaxOffsetKb, OptionsField::SplitMaxOffset,
         "Bitte geben Sie bei \"Max. Offset\" eine ganze Zahl zwischen 0 und 4194303 ein."},
        {&OptionsDialogInput::searchThreads, OptionsField::SearchThreads,
         "Bitte geben Sie bei \"Such-Threads\" eine ganze Zahl zwischen 0 und 256 ein."},
        {&OptionsDialogInput::undoLimitMb, OptionsField::UndoLimit,
         "Bitte geben Sie bei \"Höchstgröße der Aufzeichnungen\" eine ganze Zahl zwischen 0 und 4194303 ein."},
    };
    settings::ProfileStore store(configPath());
    for (const Case& c : cases) {
        OptionsDialogLogic logic(OptionsValues{}, AllShown);
        OptionsDialogInput input = defaults;
        input.*c.text = "zehn";
        const auto refusal = logic.accept(input, store);
        ASSERT_TRUE(refusal.has_value()) << c.message;
        EXPECT_EQ(refusal->field, c.field) << c.message;
        EXPECT_EQ(refusal->message, c.message);
    }
}

TEST_F(OptionsDialogLogicTest, ThreadCountOutsideItsRangeIsRefusedOnItsOwnField)
{
    settings::ProfileStore store(configPath());
    OptionsDialogLogic refused(OptionsValues{}, AllShown);
    OptionsDialogInput input = defaults;
    input.searchThreads = "257";
    const auto refusal = refused.accept(input, store);
    ASSERT_TRUE(refusal.has_value());
    EXPECT_EQ(refusal->field, OptionsField::SearchThreads);
    EXPECT_EQ(refusal->message, "Bitte geben Sie bei \"Such-Threads\" eine ganze Zahl zwischen 0 und 256 ein.");
    EXPECT_EQ(configText(), "");

    // Both ends are taken; 0 leaves the count to the processor cores.
    for (const std::uint32_t threads : {0u, 256u}) {
        OptionsDialogLogic logic(OptionsValues{}, AllShown);
        input.searchThreads = std::to_string(threads);
        ASSERT_EQ(pressOk(logic, input), "");
        EXPECT_EQ(logic.acceptedValues().searchThreads, threads);
    }
}

TEST_F(OptionsDialogLogicTest, AcceptsWhatTheChecksLeaveAlone)
{
    const std::string temp = tree.mkdir("tmp");
    {
        OptionsDialogLogic logic(OptionsValues{}, AllShown);
        OptionsDialogInput input = defaults;
        input.makeBackup = false;
        input.backupExtension = "*";  // not checked while backups are off
        EXPECT_EQ(pressOk(logic, input), "");
        EXPECT_EQ(logic.acceptedValues().backupExtension, ".*");
    }
    {
        OptionsDialogLogic logic(OptionsValues{}, AllShown);
        OptionsDialogInput input = defaults;
        input.tempDir = "/nowhere";  // "in aktuellem Verzeichnis" needs no directory
        EXPECT_EQ(pressOk(logic, input), "");
    }
    OptionsDialogLogic logic(OptionsValues{}, AllShown);
    OptionsDialogInput input = defaults;
    input.tempDirIsCurrent = false;
    input.tempDir = temp;
    input.detectLengthKb = "4194304";  // the top of the range, kept within 32 bits
    ASSERT_EQ(pressOk(logic, input), "");
    EXPECT_EQ(logic.acceptedValues().tempDir, temp);
    EXPECT_EQ(logic.acceptedValues().tempDirIsCurrent, 0);
    EXPECT_EQ(logic.acceptedValues().detectLength, 0xffff'ffffu);
}

TEST(OptionsDialogNumbers, RefuseWhatIsNotAWholeNumberInRangeInsteadOfWrapping)
{
    const NumberRange range{0, 4'194'304};
    EXPECT_EQ(ParseWholeNumber("0", range), 0u);
    EXPECT_EQ(ParseWholeNumber(" +12\t", range), 12u);
    EXPECT_EQ(ParseWholeNumber("-0", range), 0u);
    for (const char* refused : {"", " ", "-1", "4194305", "12a", "1.5", "1 2", "99999999999999999999999", "+"})
        EXPECT_EQ(ParseWholeNumber(refused, range), std::nullopt) << '"' << refused << '"';
    EXPECT_EQ(ParseWholeNumber("-5", kContextLengthRange), std::nullopt);
    EXPECT_EQ(ParseWholeNumber("2147483648", kContextLengthRange), std::nullopt);
}

TEST(OptionsDialogBackupWarning, OptOutClearsItsBitEvenWhenTheAnswerIsCancel)
{
    OptionsDialogLogic logic(OptionsValues{}, AllShown);
    ScriptedPrompts cancelWithOptOut(WarningAnswer{false, true});
    EXPECT_FALSE(logic.confirmBackupOff(cancelWithOptOut));  // backups stay on
    ASSERT_EQ(cancelWithOptOut.asked.size(), 1u);
    EXPECT_EQ(cancelWithOptOut.asked[0], texts::kBackupOffWarning);
    EXPECT_EQ(logic.warningBits(), AllShown & ~BackupOff);

    // The next switch-off asks nothing and is taken.
    ScriptedPrompts unused(WarningAnswer{false, false});
    EXPECT_TRUE(logic.confirmBackupOff(unused));
    EXPECT_TRUE(unused.asked.empty());
}

TEST(OptionsDialogBackupWarning, WithoutOptOutTheBitStays)
{
    OptionsDialogLogic logic(OptionsValues{}, 0xffff'ffffu);
    ScriptedPrompts confirm(WarningAnswer{true, false});
    EXPECT_TRUE(logic.confirmBackupOff(confirm));
    EXPECT_EQ(logic.warningBits(), 0xffff'ffffu);  // the other bits too, as they were
}

TEST(OptionsDialogEnabling, FollowsTheirCheckBoxesAndRadioPair)
{
    OptionsDialogInput input = InputForValues(OptionsValues{});
    OptionsEnabling enabling = EnablingFor(input);
    EXPECT_TRUE(enabling.backupDetails);
    EXPECT_FALSE(enabling.logDetails);
    EXPECT_FALSE(enabling.tempDirDetails);
    input.makeBackup = false;
    input.useLog = true;
    input.tempDirIsCurrent = false;
    enabling = EnablingFor(input);
    EXPECT_FALSE(enabling.backupDetails);
    EXPECT_TRUE(enabling.logDetails);
    EXPECT_TRUE(enabling.tempDirDetails);
}

}  // namespace
}  // namespace tarnwick::ui
