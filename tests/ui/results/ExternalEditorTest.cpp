// Opening a hit in the user's own editor: the line and column of a byte
// position in every encoding, the command built from the template without a
// shell, and which results offer the command.
#include "ui/results/ExternalEditor.h"

#include <gtest/gtest.h>

#include "tests/support/TempTree.h"
#include "ui/results/ResultsCommandTexts.h"
#include "ui/results/ResultsCommands.h"

namespace tarnwick::ui {
namespace {

TEST(ExternalEditor, LineAndColumnOfABytePositionInEachEncoding)
{
    // Lines end at LF; a CR before it belongs to the line.
    EXPECT_EQ(PlaceOfByte("ab\r\ncd\nef", 8), (TextPlace{3, 2}));
    EXPECT_EQ(PlaceOfByte("abc", 0), (TextPlace{1, 1}));
    // UTF-8: "Köln " is five characters in six bytes.
    EXPECT_EQ(PlaceOfByte("x\nK\xC3\xB6ln Dom", 8), (TextPlace{2, 6}));
    // Not UTF-8 (a code-page ö): the column counts bytes.
    EXPECT_EQ(PlaceOfByte("K\xF6ln Dom", 5), (TextPlace{1, 6}));
    // UTF-16 with its byte-order mark, both byte orders: "a\nbc", the hit at 'c'.
    EXPECT_EQ(PlaceOfByte(std::string("\xFF\xFE"
                                      "a\0\n\0b\0c\0",
                                      10),
                          8),
              (TextPlace{2, 2}));
    EXPECT_EQ(PlaceOfByte(std::string("\xFE\xFF\0a\0\n\0b\0c", 10), 8), (TextPlace{2, 2}));
    // A position past the end is taken as the end.
    EXPECT_EQ(PlaceOfByte("ab", 99), (TextPlace{1, 3}));
}

TEST(ExternalEditor, TheTemplateIsSplitLikeAShellAndFilledInWithoutOne)
{
    const std::string path = "/home/a b/it's \"x\".txt";
    EXPECT_EQ(ExternalEditorCommand("kate --line %l --column %c %f", path, {12, 3}),
              (std::vector<std::string>{"kate", "--line", "12", "--column", "3", path}));
    EXPECT_EQ(ExternalEditorCommand("code --goto %f:%l:%c", path, {2, 5}),
              (std::vector<std::string>{"code", "--goto", path + ":2:5"}));
    EXPECT_EQ(ExternalEditorCommand("'/opt/my editor/ed' \"+%l\" 100%%", path, {7, 1}),
              (std::vector<std::string>{"/opt/my editor/ed", "+7", "100%", path}))
        << "a template without %f gets the path last";
    EXPECT_TRUE(ExternalEditorCommand("  ", path, {}).empty());
    EXPECT_TRUE(ExternalEditorCommand("ed 'open", path, {}).empty());
}

class RecordingStarter : public ProgramStarter {
public:
    bool start(const std::vector<std::string>& command) override
    {
        started = command;
        return starts;
    }
    std::vector<std::string> started;
    bool starts = true;
};

TEST(ExternalEditor, OpensTheFileAtTheHitOrSaysWhyNot)
{
    test::TempTree tree;
    const std::string file = tree.write("brief.txt", "Hallo\nliebe Grüße\n");
    RecordingStarter starter;
    EXPECT_EQ(OpenInExternalEditor("gvim +%l %f", file, 12, starter), std::nullopt);
    EXPECT_EQ(starter.started, (std::vector<std::string>{"gvim", "+2", file}));

    const std::optional<std::string> gone = OpenInExternalEditor("gvim %f", tree.path("weg.txt"), 0, starter);
    ASSERT_TRUE(gone);
    EXPECT_NE(gone->find("weg.txt"), std::string::npos);
    starter.starts = false;
    const std::optional<std::string> failed = OpenInExternalEditor("kein-editor %f", file, 0, starter);
    ASSERT_TRUE(failed);
    EXPECT_NE(failed->find("kein-editor"), std::string::npos);
}

class NoHost : public ResultsCommandHost {
public:
    void setAllExpanded(bool) override {}
    void refreshItems() override {}
    bool openWithAssociatedProgram(const std::string&) override { return true; }
    void showError(std::string_view) override {}
    void setPaneEnabled(bool) override {}
};

TEST(ExternalEditor, OfferedForTextFilesAndTheirHitsButNotForDocuments)
{
    ResultList list;
    const ItemHandle text = list.AddNoteItem("/d/a.txt", ItemKind::File, 1);
    const ItemHandle hit = list.AddHitItem(40, 3, "x abc y", 2, ItemKind::None, -1);
    list.AddFileItem("/d/b.docx", ItemKind::Document);
    const ItemHandle documentHit = list.AddHitItem(7, 3, "abc", 0, ItemKind::None, -1);
    const ItemHandle info = list.AddFileItem("Suche abgeschlossen.", ItemKind::Info);

    NoHost host;
    ResultsCommands commands(list, host);
    std::vector<std::pair<std::string, std::int64_t>> opened;
    const auto offered = [&](ItemHandle item) {
        list.SetSelectedItems({item});
        return commands.isEnabled(ResultsCommandId::OpenInExternalEditor);
    };
    EXPECT_FALSE(offered(hit)) << "not before the program gives it an editor to start";
    commands.setExternalEditorHook([&](const std::string& path, std::int64_t position) { opened.emplace_back(path, position); });
    EXPECT_TRUE(offered(text));
    EXPECT_FALSE(offered(documentHit));
    EXPECT_FALSE(offered(info));
    ASSERT_TRUE(offered(hit));
    EXPECT_TRUE(commands.execute(ResultsCommandId::OpenInExternalEditor));
    EXPECT_EQ(opened, (std::vector<std::pair<std::string, std::int64_t>>{{"/d/a.txt", 40}}));
}

}  // namespace
}  // namespace tarnwick::ui
