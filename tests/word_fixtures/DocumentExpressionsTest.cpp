// Regular expressions and optional hyphens in the documents LibreOffice
// wrote (README.md): the letter of FixtureDocumentsTest searched with an
// expression, and a short text whose words are hyphenated with U+00AD,
// searched and replaced in all four formats and read back by LibreOffice.
#include <gtest/gtest.h>

#include "engine/Messages.h"
#include "engine/documents/WordDocumentEngine.h"
#include "engine/job/RunReplacement.h"
#include "engine/replace/ReplaceSelected.h"
#include "tests/support/ReplaceFixture.h"
#include "tests/support/TempTree.h"
#include "word/libreoffice/DocumentApplication.h"
#include "word/libreoffice/LibreOfficeFormat.h"

namespace tarnwick {
namespace {

using test::ReplaceFixture;
using test::TempTree;

const char* const kExtensions[] = {"odt", "docx", "rtf", "doc"};

std::string copyOf(const TempTree& tree, const std::string& name)
{
    return tree.write(name, test::ReadFile(std::string(TARNWICK_FIXTURE_DOCUMENTS) + "/" + name));
}

SearchJob documentJob(bool expression, bool inDocuments)
{
    SearchJob job = test::TestJob();
    job.wordExtensions = "doc, odt, rtf, docx";
    job.regularExpression = expression;
    job.wordRegex = inDocuments;
    return job;
}

struct Found {
    std::vector<std::int64_t> positions;
    std::vector<std::string> hits;  // the highlighted part of each context
    bool literally = false;  // the run noted that an expression was taken literally
};

Found search(WordDocumentEngine& engine, const std::string& path, const SearchJob& job, const std::string& text)
{
    ReplaceFixture fixture(job, text, "");
    fixture.run().documents = &engine;
    engine.searchDocument(fixture.run(), path);
    EXPECT_TRUE(fixture.errors().empty()) << fixture.errors()[0].second;
    Found found;
    for (const test::HitRecord& hit : fixture.hits()) {
        found.positions.push_back(hit.position);
        found.hits.push_back(
            hit.context.substr(static_cast<std::size_t>(hit.highlightStart), static_cast<std::size_t>(hit.highlightLength)));
    }
    found.literally = fixture.counters().documentsLiteral.load();
    return found;
}

std::u16string officeText(const std::string& path) { return word::OpenLibreOfficeFormat(path)->mainStory().visibleText(); }

class DocumentExpressions : public ::testing::TestWithParam<const char*> {};

TEST_P(DocumentExpressions, AnExpressionFindsWhatTheTextHoldsAndReplacesItWhereTheDocumentAllows)
{
    const std::string extension = GetParam();
    const TempTree tree;
    const std::string path = copyOf(tree, "features." + extension);
    WordDocumentEngine engine(word::CreateDocumentApplication);
    const Found literal = search(engine, path, documentJob(false, false), "rechnung");
    const Found expression = search(engine, path, documentJob(true, true), "R[e]ch.ung");
    EXPECT_EQ(expression.positions, literal.positions);
    for (const std::string& hit : expression.hits) EXPECT_EQ(hit, "Rechnung");
    EXPECT_FALSE(expression.literally);
    // Without expressions in documents the text is looked for as it is, and the run notes it.
    const Found taken = search(engine, path, documentJob(true, false), "R[e]ch.ung");
    EXPECT_TRUE(taken.positions.empty());
    EXPECT_TRUE(taken.literally);

    // The title field's result and the tracked deletion are refused as in a plain replace.
    ReplaceFixture replace(documentJob(true, true), "R[e]ch.ung", "Beleg");
    replace.run().documents = &engine;
    engine.replaceDocument(replace.run(), path);
    EXPECT_EQ(replace.counters().hits.load(), 11);
    const std::u16string office = officeText(path);
    EXPECT_NE(office.find(u"Titel: Rechnung März"), std::u16string::npos);
    EXPECT_NE(office.find(u"Sehr geehrte Frau Weiß \U0001F600, anbei die Beleg für März."), std::u16string::npos);
}

TEST_P(DocumentExpressions, OptionalHyphensAreIgnoredAndReplacedWithTheWordTheySplit)
{
    const std::string extension = GetParam();
    const TempTree tree;
    const std::string path = copyOf(tree, "hyphens." + extension);
    WordDocumentEngine engine(word::CreateDocumentApplication);
    const Found plain = search(engine, path, documentJob(false, false), "rechnung");
    ASSERT_EQ(plain.positions.size(), 4u);
    // The hit covers the hyphen; a context shows U+00AD as it is, an
    // optional-hyphen element not at all.
    std::string shown = plain.hits[0];
    if (const std::size_t at = shown.find("\u00AD"); at != std::string::npos) shown.erase(at, 2);
    EXPECT_EQ(shown, "Rechnung");
    EXPECT_EQ(search(engine, path, documentJob(true, true), "rech.ung\\b").positions.size(), 3u);

    ReplaceFixture replace(documentJob(false, false), "rechnung", "Beleg");
    replace.run().documents = &engine;
    engine.replaceDocument(replace.run(), path);
    EXPECT_TRUE(replace.errors().empty());
    const std::u16string office = officeText(path);
    EXPECT_NE(office.find(u"Die Beleg Nr. 7 ist bezahlt.\rZweite Beleg, dritte Beleg."), std::u16string::npos) << extension;
    EXPECT_NE(office.find(u"Belegsnummer 4711"), std::u16string::npos);
    EXPECT_EQ(office.find(u'\u00AD'), std::u16string::npos);
}

TEST_P(DocumentExpressions, MarkedHitsOfAnExpressionAreReplacedWhileTheyStillMatch)
{
    const TempTree tree;
    const std::string path = copyOf(tree, std::string("hyphens.") + GetParam());
    WordDocumentEngine engine(word::CreateDocumentApplication);
    ReplaceFixture fixture(documentJob(true, true), "\\d+,\\d\\d \u20AC", "");
    fixture.run().documents = &engine;
    engine.searchDocument(fixture.run(), path);
    ASSERT_EQ(fixture.hits().size(), 2u);
    ResultList& results = fixture.results();
    for (ItemHandle item = results.FirstChild(results.FirstTopLevelItem()); item != kNoItem; item = results.NextSibling(item))
        results.SetChecked(item, true);
    fixture.setReplacement("Betrag");
    EXPECT_TRUE(ReplaceSelected(fixture.run()));
    EXPECT_TRUE(fixture.errors().empty());
    EXPECT_NE(officeText(path).find(u"Beträge: Betrag und Betrag; Rechnungsnummer"), std::u16string::npos);
}

TEST_P(DocumentExpressions, CapturesFillInTheGroupsOrLeaveALiterallyFoundDocumentAsItIs)
{
    const std::string extension = GetParam();
    const TempTree tree;
    const std::string path = copyOf(tree, "features." + extension);
    WordDocumentEngine engine(word::CreateDocumentApplication);
    auto replace = [&](SearchJob job, const std::string& pattern, const std::string& typed) {
        job.replacementCaptures = true;
        const Expected<std::string> format = PrepareRunReplacement(typed, pattern, job);
        EXPECT_TRUE(format.has_value()) << format.error().detail;
        auto fixture = std::make_unique<ReplaceFixture>(job, pattern, format.value());
        fixture->run().documents = &engine;
        engine.replaceDocument(fixture->run(), path);
        return fixture;
    };
    // A named group, upper-cased beyond ASCII, and a dollar.
    const auto filled = replace(documentJob(true, true), "für (?<month>M\\w+)\\.", "bis \\U${month}\\E$$");
    EXPECT_TRUE(filled->errors().empty());
    EXPECT_EQ(filled->counters().hits.load(), 1);
    const std::u16string office = officeText(path);
    EXPECT_NE(office.find(u"anbei die Rechnung bis MÄRZ$\r"), std::u16string::npos) << extension;
    EXPECT_NE(office.find(u"Rechnung Nr. 7 für Müller"), std::u16string::npos);

    // Searched literally, a document without the text is no error, and one
    // with it is left as it is, with one item that says why.
    const auto absent = replace(documentJob(true, false), "(Rechnung)", "[$1]");
    EXPECT_TRUE(absent->errors().empty());
    EXPECT_TRUE(absent->counters().documentsLiteral.load());
    const auto present = replace(documentJob(true, false), "Rechnung", "[$0]");
    ASSERT_EQ(present->errors().size(), 1u);
    EXPECT_EQ(present->errors()[0].second, text::kCapturesInLiteralDocument);
    EXPECT_EQ(present->counters().hits.load(), 0);
    EXPECT_EQ(officeText(path), office);
}

TEST_P(DocumentExpressions, ReplacementsTakeTheCaseOfEachHit)
{
    const std::string extension = GetParam();
    const TempTree tree;
    const std::string path = copyOf(tree, "features." + extension);
    WordDocumentEngine engine(word::CreateDocumentApplication);
    SearchJob job = documentJob(true, true);
    job.preserveCase = true;
    ReplaceFixture fixture(job, "rechnung", "beleg");
    fixture.run().documents = &engine;
    engine.replaceDocument(fixture.run(), path);
    EXPECT_TRUE(fixture.errors().empty());
    EXPECT_NE(officeText(path).find(u"Beleg Nr. 7 für Müller"), std::u16string::npos) << extension;
}

TEST_P(DocumentExpressions, MarkedHitsFillInTheirGroups)
{
    const TempTree tree;
    const std::string path = copyOf(tree, std::string("hyphens.") + GetParam());
    WordDocumentEngine engine(word::CreateDocumentApplication);
    SearchJob job = documentJob(true, true);
    job.replacementCaptures = true;
    const std::string pattern = "(\\d+),(\\d\\d) \u20AC";
    ReplaceFixture fixture(job, pattern, "");
    fixture.run().documents = &engine;
    engine.searchDocument(fixture.run(), path);
    ASSERT_EQ(fixture.hits().size(), 2u);
    ResultList& results = fixture.results();
    for (ItemHandle item = results.FirstChild(results.FirstTopLevelItem()); item != kNoItem; item = results.NextSibling(item))
        results.SetChecked(item, true);
    const Expected<std::string> format = PrepareRunReplacement("${2}ct/$1 EUR", pattern, job);
    ASSERT_TRUE(format.has_value()) << format.error().detail;
    fixture.setReplacement(format.value());
    EXPECT_TRUE(ReplaceSelected(fixture.run()));
    EXPECT_TRUE(fixture.errors().empty());
    EXPECT_NE(officeText(path).find(u"Beträge: 50ct/12 EUR und 20ct/3 EUR; Rechnungsnummer"), std::u16string::npos);
}

INSTANTIATE_TEST_SUITE_P(WrittenByLibreOffice, DocumentExpressions, ::testing::ValuesIn(kExtensions),
                         [](const auto& info) { return std::string(info.param); });

}  // namespace
}  // namespace tarnwick
