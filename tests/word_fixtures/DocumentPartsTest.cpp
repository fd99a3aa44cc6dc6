// A letter with "Rechnung" in its header, footer, notes, comment, frame and
// text box and twice in its main text (documents/README.md), written by
// LibreOffice: searched, replaced throughout and replaced in marked results
// in every part, and read back by the engine's own reader and by
// LibreOffice's exports.
#include <gtest/gtest.h>

#include "engine/documents/DocumentParts.h"
#include "engine/documents/WordDocumentEngine.h"
#include "engine/replace/ReplaceSelected.h"
#include "results/HitPosition.h"
#include "tests/support/OfficeReading.h"
#include "tests/support/ReplaceFixture.h"
#include "tests/support/TempTree.h"
#include "word/libreoffice/DocumentApplication.h"

namespace tarnwick {
namespace {

using test::ReplaceFixture;
using test::TempTree;

struct PartsFormat {
    const char* extension;
    std::vector<std::string> parts;  // of the hits, in the order they are listed
    std::string refused;  // the part whose occurrence a replace refuses
    std::string leftForOffice;  // the old text LibreOffice still reads after a replace-all
};

const std::vector<std::string> kAllParts = {"Kopfzeile",   "",           "",           "Fußnote 1", "Endnote 1",
                                            "Kommentar 1", "Textfeld 1", "Textfeld 2", "Fußzeile"};
// Through LibreOffice a comment's text is not changed (README). The .rtf
// keeps the shape's text as a shape property, which is read and written as
// a text box too.
const PartsFormat kFormats[] = {{"odt", kAllParts, "", ""},
                                {"docx", kAllParts, "", ""},
                                {"rtf", kAllParts, "", ""},
                                {"doc", kAllParts, "Kommentar 1", "Rechnung prüfen"}};

std::string copyOf(const TempTree& tree, const std::string& extension)
{
    const std::string name = "parts." + extension;
    return tree.write(name, test::ReadFile(std::string(TARNWICK_FIXTURE_DOCUMENTS) + "/" + name));
}

SearchJob partsJob(bool allParts = true)
{
    SearchJob job = test::TestJob();
    job.wordExtensions = "doc, odt, rtf, docx";
    job.wordAllParts = allParts;
    return job;
}

std::vector<HitPosition> hitPositions(ResultList& results)
{
    std::vector<HitPosition> positions;
    for (ItemHandle item = results.FirstChild(results.FirstTopLevelItem()); item != kNoItem; item = results.NextSibling(item))
        positions.push_back(ParseHitPosition(results.ColumnText(item, ResultColumn::Position)).value_or(HitPosition{"?", -1}));
    return positions;
}

std::vector<HitPosition> search(WordDocumentEngine& engine, const std::string& path, const std::string& text)
{
    ReplaceFixture fixture(partsJob(), text, "");
    engine.searchDocument(fixture.run(), path);
    EXPECT_TRUE(fixture.errors().empty());
    return hitPositions(fixture.results());
}

// The text of every story of the document as the built-in component reads it now.
std::u16string everyStory(const std::string& path)
{
    const auto document = word::OpenRoutedDocumentFormat(path);
    std::u16string text;
    for (const word::StoryId id : document->stories()) text += document->story(id).visibleText();
    return text;
}

// How often `word` stands in `text`, of either kind of string.
template <typename Text, typename Word>
std::size_t count(const Text& text, const Word& word)
{
    std::size_t n = 0;
    for (auto at = text.find(word); at != Text::npos; at = text.find(word, at + 1)) ++n;
    return n;
}

// The parts a replace refused, by the positions of the error items under the document.
std::vector<std::string> refusedParts(ResultList& results)
{
    std::vector<std::string> parts;
    for (ItemHandle item = results.FirstChild(results.FirstTopLevelItem()); item != kNoItem; item = results.NextSibling(item))
        if (results.Kind(item) == ItemKind::Error)
            parts.push_back(
                ParseHitPosition(results.ColumnText(item, ResultColumn::Position)).value_or(HitPosition{"?", -1}).part);
    return parts;
}

// A copy of the format's document and an engine on the program's server.
class DocumentParts : public ::testing::TestWithParam<PartsFormat> {
protected:
    const PartsFormat format = GetParam();
    const TempTree tree;
    const std::string path = copyOf(tree, format.extension);
    WordDocumentEngine engine{word::CreateDocumentApplication};
};

TEST_P(DocumentParts, SearchNamesEachPartInOrderAndPointsAtTheHitWithinIt)
{
    const std::vector<HitPosition> hits = search(engine, path, "rechnung");
    std::vector<std::string> parts;
    for (const HitPosition& hit : hits) parts.push_back(hit.part);
    EXPECT_EQ(parts, format.parts);

    const auto document = word::OpenRoutedDocumentFormat(path);
    const std::vector<word::StoryId> stories = document->stories();
    for (const HitPosition& hit : hits) {
        const std::optional<word::StoryId> id = DocumentPartOfName(hit.part);
        ASSERT_TRUE(id) << hit.part;
        EXPECT_EQ(document->story(*id).textOf(hit.position, hit.position + 8), u"Rechnung") << hit.part;
    }

    // Without the option only the main text is searched, as always.
    ReplaceFixture mainOnly(partsJob(false), "rechnung", "");
    engine.searchDocument(mainOnly.run(), path);
    const std::vector<HitPosition> main = hitPositions(mainOnly.results());
    ASSERT_EQ(main.size(), 2u);
    EXPECT_EQ(main[0].part, "");
    EXPECT_EQ(main[1].position, hits[2].position);
}

TEST_P(DocumentParts, ReplaceAllChangesEveryPartAndNothingElse)
{
    ReplaceFixture replace(partsJob(), "rechnung", "Beleg");
    engine.replaceDocument(replace.run(), path);
    EXPECT_TRUE(replace.errors().empty());
    // Every occurrence is listed, a refused one as an error.
    EXPECT_EQ(replace.hits().size(), format.parts.size());
    const std::size_t refused = format.refused.empty() ? 0 : 1;
    EXPECT_EQ(refusedParts(replace.results()), format.refused.empty() ? std::vector<std::string>() : std::vector{format.refused});

    // Read afresh, every story holds the new word where the old one was.
    const std::u16string own = everyStory(path);
    EXPECT_EQ(count(own, u"Rechnung"), refused);
    EXPECT_EQ(count(own, u"Beleg"), format.parts.size() - refused);
    EXPECT_NE(own.find(u"Briefkopf zur Beleg\r"), std::u16string::npos);
    EXPECT_NE(own.find(u"Die Beleg im Haupttext.\r"), std::u16string::npos);
    EXPECT_NE(own.find(u"Beleg im Rahmen\r"), std::u16string::npos);
    EXPECT_NE(own.find(u"Fußzeile der Beleg\r"), std::u16string::npos);

    // LibreOffice reads the same in every part: its flat export holds all of
    // them (a text box of a .docx once for each of its copies), its HTML
    // export all but the text boxes. The old word is left only where said.
    const std::string flat = test::OfficeFlatText(path);
    const std::string html = test::OfficeHtml(path);
    const auto leftOnlyWhereSaid = [&](const std::string& text) {
        return count(text, "Rechnung") == (format.leftForOffice.empty() ? 0 : count(text, format.leftForOffice));
    };
    EXPECT_TRUE(leftOnlyWhereSaid(flat)) << flat;
    EXPECT_TRUE(leftOnlyWhereSaid(html)) << html;
    // Each part's new text, and whether the HTML export shows that part.
    const std::pair<std::string, bool> replacedParts[] = {{"Briefkopf zur Beleg", true},   {"Die Beleg im Haupttext.", true},
                                                          {"Beleg in der Fußnote.", true}, {"Die Endnote nennt die Beleg.", true},
                                                          {"Beleg prüfen", true},          {"Beleg im Rahmen", false},
                                                          {"Beleg im Textfeld", false},    {"Zum Schluss noch eine Beleg.", true},
                                                          {"Fußzeile der Beleg", true}};
    for (const auto& [part, shownInHtml] : replacedParts) {
        std::string old = part;
        old.replace(old.find("Beleg"), 5, "Rechnung");
        const bool left = old == format.leftForOffice;
        EXPECT_NE(flat.find(left ? old : part), std::string::npos) << part << "\n" << flat;
        if (shownInHtml && !left) {
            EXPECT_NE(html.find(part), std::string::npos) << part << "\n" << html;
        }
    }
}

TEST_P(DocumentParts, MarkedHitsAreReplacedInTheirPartsAndLaterHitsMoveOnlyWithinTheirOwn)
{
    const std::vector<HitPosition> found = search(engine, path, "rechnung");

    ReplaceFixture fixture(partsJob(), "rechnung", "");
    fixture.run().documents = &engine;
    engine.searchDocument(fixture.run(), path);
    ResultList& results = fixture.results();
    // The header, the first hit of the main text and the footnote.
    std::size_t i = 0;
    for (ItemHandle item = results.FirstChild(results.FirstTopLevelItem()); item != kNoItem; item = results.NextSibling(item))
        results.SetChecked(item, i == 0 || i == 1 || i == 3), ++i;
    fixture.setReplacement("Beleg");
    EXPECT_TRUE(ReplaceSelected(fixture.run()));
    for (const auto& [file, remark] : fixture.errors()) ADD_FAILURE() << remark;

    const std::vector<HitPosition> replaced = search(engine, path, "beleg");
    ASSERT_EQ(replaced.size(), 3u);
    for (std::size_t k = 0; k < 3; ++k) {
        EXPECT_EQ(replaced[k].part, found[k == 2 ? 3 : k].part);
        EXPECT_EQ(replaced[k].position, found[k == 2 ? 3 : k].position);
    }
    // Only the main text's second hit moved, by the 3 characters its part lost.
    const std::vector<HitPosition> kept = search(engine, path, "rechnung");
    ASSERT_EQ(kept.size(), found.size() - 3);
    EXPECT_EQ(kept[0].position, found[2].position - 3);
    for (std::size_t k = 1; k < kept.size(); ++k) {
        EXPECT_EQ(kept[k].part, found[k + 3].part);
        EXPECT_EQ(kept[k].position, found[k + 3].position);
    }
}

INSTANTIATE_TEST_SUITE_P(WrittenByLibreOffice, DocumentParts, ::testing::ValuesIn(kFormats),
                         [](const auto& info) { return std::string(info.param.extension); });

}  // namespace
}  // namespace tarnwick
