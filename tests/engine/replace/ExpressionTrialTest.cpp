// The expression tester's trial against runs of the engine on a file that
// holds the sample: the same hits and the same replaced text, and the
// groups, the refusals and the options as the tester shows them.
#include "engine/replace/ExpressionTrial.h"
#include "engine/content/ContentSearch.h"
#include "engine/job/RunReplacement.h"
#include "engine/replace/ReplaceInFile.h"
#include "tests/support/ReplaceFixture.h"
#include "tests/support/TempTree.h"

#include <gtest/gtest.h>

namespace tarnwick::test {
namespace {

struct Case {
    std::string search;
    std::string replacement;
    std::string sample;
    bool regex = false;
    bool matchCase = false;
    bool wholeWords = false;
    bool captures = false;
    bool escapes = false;
};

SearchJob JobOf(const Case& c)
{
    SearchJob job = TestJob();
    job.makeBackup = false;
    job.regularExpression = c.regex;
    job.matchCase = c.matchCase;
    job.wholeWords = c.wholeWords;
    job.replacementCaptures = c.captures;
    job.specialCharacters = c.escapes;
    return job;
}

ExpressionTrial Try(const Case& c) { return TryExpression(c.search, c.replacement, JobOf(c), c.sample, RunFixture::utF8()); }

std::vector<std::pair<std::int64_t, std::int64_t>> Spans(const std::vector<TrialMatch>& matches)
{
    std::vector<std::pair<std::int64_t, std::int64_t>> spans;
    for (const TrialMatch& m : matches) spans.emplace_back(m.position, m.length);
    return spans;
}

TEST(ExpressionTrial, ShowsTheHitsAndTheTextOfARunOnTheSameFile)
{
    const std::vector<Case> cases = {
        {"abc", "X", "abc ABC xabc abc_ éabc Abc"},
        {"abc", "X", "abc ABC xabc abc_ éabc Abc", false, true},
        {"abc", "X", "abc ABC xabc abc_ éabc abcabc abc", false, false, true},
        {"straße", "weg", "STRASSE Straße STRAẞE straße"},
        {"ÄRGER", "x", "ärger Ärger ÄRGER"},
        {"(\\w+)_cast<", "\\U$1\\E_cast<", "static_cast<int> dynamic_cast<T*>", true, true, false, true},
        {"^a", "", "aaa\nab", true},
        {"\\bx", "yx", "x xx x", true},
        {"x*", "-", "abxxc", true},
        {"(?<key>\\w+)=(\\d*)", "${key}:$2", "a=1 bb= c=33", true, false, false, true},
        {"a", "\\t\\x41", "banana", false, false, false, false, true},
        {"\\d", "<$0>", "a1b22", true, false, false, true, true},
    };
    TempTree tree;
    for (const Case& c : cases) {
        SCOPED_TRACE("'" + c.search + "' -> '" + c.replacement + "' in '" + c.sample + "'");
        const SearchJob job = JobOf(c);
        const ExpressionTrial trial = Try(c);
        ASSERT_EQ(trial.searchError, "");
        ASSERT_EQ(trial.replacementError, "");

        const std::string path = tree.write("sample.txt", c.sample);
        RunFixture search(job, c.search);
        EXPECT_TRUE(SearchFileContents(search.run(), path));
        std::vector<std::pair<std::int64_t, std::int64_t>> hits;
        for (const HitRecord& hit : search.hits()) hits.emplace_back(hit.position, hit.length);
        EXPECT_EQ(Spans(trial.matches), hits);

        const Expected<std::string> replacement = PrepareRunReplacement(c.replacement, c.search, job);
        ReplaceFixture replace(job, c.search, replacement.value());
        EXPECT_TRUE(ReplaceInFile(replace.run(), path));
        EXPECT_EQ(trial.replaced, ReadFile(path));
        for (const TrialSpan& span : trial.replacements)
            ASSERT_LE(span.position + span.length, static_cast<std::int64_t>(trial.replaced.size()));
    }
}

TEST(ExpressionTrial, ListsEveryGroupOfEachMatchWithItsNameAndPosition)
{
    const ExpressionTrial trial = Try({"(?<key>\\w+)=(\\d+)?(?:;)?", "${key}", "ab=12; c=", true, false, false, true});
    ASSERT_EQ(trial.matches.size(), 2u);
    const std::vector<TrialGroup>& first = trial.matches[0].groups;
    ASSERT_EQ(first.size(), 3u);
    EXPECT_EQ(first[0].number, 0);
    EXPECT_EQ(first[0].length, 6);
    EXPECT_EQ(first[1].name, "key");
    EXPECT_EQ(first[1].position, 0);
    EXPECT_EQ(first[1].length, 2);
    EXPECT_EQ(first[2].name, "");
    EXPECT_EQ(first[2].position, 3);
    EXPECT_EQ(first[2].length, 2);
    const std::vector<TrialGroup>& second = trial.matches[1].groups;
    EXPECT_EQ(second[1].position, 7);
    EXPECT_FALSE(second[2].matched);
    EXPECT_EQ(trial.replaced, "ab c");
    ASSERT_EQ(trial.replacements.size(), 2u);
    EXPECT_EQ(trial.replacements[1].position, 3);
    EXPECT_EQ(trial.replacements[1].length, 1);

    // A look-behind is no name, and a plain text has only the whole match.
    EXPECT_EQ(Try({"(?<=a)(b)", "", "ab", true}).matches.at(0).groups.at(1).name, "");
    EXPECT_EQ(Try({"b", "", "ab"}).matches.at(0).groups.size(), 1u);
}

TEST(ExpressionTrial, RefusesAsARunDoesAndSaysWhere)
{
    const ExpressionTrial bad = Try({"a)bc", "x", "abc", true});
    EXPECT_EQ(bad.searchError.rfind("Ungültiger regulärer Ausdruck: ", 0), 0u) << bad.searchError;
    EXPECT_EQ(bad.errorPosition, 1);  // at the ')' that closes nothing
    EXPECT_TRUE(bad.matches.empty());
    EXPECT_EQ(bad.replaced, "");

    // A reference to a group the expression does not have: the hits are
    // still shown, the replaced text is not.
    const ExpressionTrial reference = Try({"(a)", "$3", "banana", true, false, false, true});
    EXPECT_EQ(reference.searchError, "");
    EXPECT_EQ(reference.replacementError, "Der Ersetzungstext verweist auf die Gruppe $3, der Ausdruck hat aber nur 1 Gruppe.");
    EXPECT_EQ(reference.matches.size(), 3u);
    EXPECT_EQ(reference.replaced, "");

    // Without "Rückverweise" the same replacement is literal.
    EXPECT_EQ(Try({"(a)", "$3", "ba", true}).replaced, "b$3");
    // An empty search text finds nothing and changes nothing.
    const ExpressionTrial empty = Try({"", "x", "abc"});
    EXPECT_TRUE(empty.matches.empty());
    EXPECT_EQ(empty.replaced, "abc");
}

}  // namespace
}  // namespace tarnwick::test
