// Documents written by a real word processor (tests/word/documents: the
// same text saved as .docx, .odt and .rtf from beispiel-source.fodt).
#include "tests/support/TempTree.h"
#include "tests/word/WordFixtures.h"
#include "word/automation/Automation.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace tarnwick::word {
namespace {

using tarnwick::test::TempTree;
using namespace tarnwick::word::test;

const std::string kDocuments = TARNWICK_WORD_DOCUMENTS;

std::u16string wholeText(Document& document)
{
    Range& range = document.StoryRange(1);
    range.SetStart(0);
    range.SetEnd(1 << 30);
    return range.Text();
}

class RealDocuments : public ::testing::TestWithParam<const char*> {};

TEST_P(RealDocuments, ReadSearchReplaceAndReadBack)
{
    TempTree tree;
    const std::string name = std::string("beispiel.") + GetParam();
    const std::string path = tree.path(name);
    std::filesystem::copy_file(kDocuments + "/" + name, path);
    const bool package = std::string(GetParam()) != "rtf";
    const auto entriesBefore = package ? RawEntries(path) : decltype(RawEntries(path)){};

    auto application = CreateFileApplication();
    {
        Document& document = application->GetDocuments().Open(path, false, false, false);
        const std::u16string text = wholeText(document);
        // Paragraphs, a tab, a line break and a table as the word processor wrote them.
        EXPECT_NE(text.find(u"Rechnung Nr. 42 für Kunde Müller in Köln\r"), std::u16string::npos) << Utf8(text);
        EXPECT_NE(text.find(u"Zeile mit\tTabulator\vund Umbruch\r"), std::u16string::npos) << Utf8(text);
        EXPECT_NE(text.find(u"Betrag\r\a100 Euro\r\a"), std::u16string::npos) << Utf8(text);

        Range& range = document.StoryRange(1);
        range.SetStart(0);
        FindArguments find;
        find.findText = u"müller";
        find.replaceWith = u"Meier";
        find.replace = FindReplace::One;
        ASSERT_TRUE(range.GetFind().Execute(find));
        EXPECT_EQ(range.Text(), u"Meier");
        document.Save();
        document.Close(false);
    }
    Document& reopened = application->GetDocuments().Open(path, false, true, false);
    const std::u16string text = wholeText(reopened);
    EXPECT_NE(text.find(u"für Kunde Meier in Köln\r"), std::u16string::npos) << Utf8(text);
    EXPECT_EQ(text.find(u"Müller"), std::u16string::npos);
    EXPECT_NE(text.find(u"Mit freundlichen Grüßen\r"), std::u16string::npos);
    reopened.Close(false);

    // Only the part that holds the text was rewritten.
    if (package) {
        const auto entriesAfter = RawEntries(path);
        ASSERT_EQ(entriesAfter.size(), entriesBefore.size());
        const std::string mainPart = GetParam() == std::string("docx") ? "word/document.xml" : "content.xml";
        for (std::size_t i = 0; i < entriesBefore.size(); ++i) {
            EXPECT_EQ(entriesAfter[i].first, entriesBefore[i].first);
            if (entriesBefore[i].first != mainPart) {
                EXPECT_EQ(entriesAfter[i].second, entriesBefore[i].second) << entriesBefore[i].first;
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(WrittenByAWordProcessor, RealDocuments, ::testing::Values("docx", "odt", "rtf"));

}  // namespace
}  // namespace tarnwick::word
