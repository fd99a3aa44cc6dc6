// The replacement a run is given: escapes first, then the format checked
// against the expression, every refusal with the reference it names.
#include "engine/job/RunReplacement.h"
#include "engine/Messages.h"
#include "engine/job/SearchJob.h"
#include "engine/match/ReplacementFormat.h"

#include <gtest/gtest.h>

namespace tarnwick::test {
namespace {

SearchJob capturesJob(bool specialCharacters = false)
{
    SearchJob job;
    job.regularExpression = true;
    job.replacementCaptures = true;
    job.specialCharacters = specialCharacters;
    return job;
}

// The replacement of the first match of `pattern` in `subject`.
std::string formatted(const std::string& pattern, const std::string& subject, const std::string& format)
{
    const boost::regex regex(pattern, boost::regex::perl);
    boost::cmatch match;
    EXPECT_TRUE(boost::regex_search(subject.c_str(), match, regex));
    std::string out;
    AppendFormatted(match, format, out);
    return out;
}

TEST(RunReplacement, RefusesEveryBadReferenceNamingIt)
{
    const struct {
        const char* pattern;
        const char* typed;
        const char* message;
    } cases[] = {
        {"(a)(b)(c)", "$7", "Der Ersetzungstext verweist auf die Gruppe $7, der Ausdruck hat aber nur 3 Gruppen."},
        {"(a)(b)(c)", "x\\4", "Der Ersetzungstext verweist auf die Gruppe \\4, der Ausdruck hat aber nur 3 Gruppen."},
        {"(a)", "${12}", "Der Ersetzungstext verweist auf die Gruppe ${12}, der Ausdruck hat aber nur 1 Gruppe."},
        {"a", "$100", "Der Ersetzungstext verweist auf die Gruppe $100, der Ausdruck hat aber keine Gruppen."},
        {"(?<word>a)", "${1", "Der Ersetzungstext enthält ein nicht geschlossenes ${1."},
        {"(?<word>a)", "<${wort}>",
         "Der Ersetzungstext verweist auf die Gruppe ${wort}, der Ausdruck hat aber keine Gruppe dieses Namens."},
        {"(a)", "$`", "Der Ersetzungstext enthält $`, das wird nicht unterstützt. Für ein Dollarzeichen bitte $$ schreiben."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        const Expected<std::string> result = PrepareRunReplacement(c.typed, c.pattern, capturesJob());
        EXPECT_FALSE(result.has_value());
        EXPECT_EQ(result.error().detail, c.message);
    }
}

TEST(RunReplacement, EscapesRunFirstAndLeaveTheFormatItsBackslashes)
{
    // \t and \x41 become bytes; \1, \U, \E and \\ reach the format; a '$'
    // or '\' made by \xHH stays literal.
    const Expected<std::string> result = PrepareRunReplacement("\\t\\U\\1\\E\\x41\\x24\\x5C\\\\$1", "(b)", capturesJob(true));
    ASSERT_TRUE(result.has_value()) << result.error().detail;
    EXPECT_EQ(formatted("(b)", "abc", result.value()), "\tBA$\\\\b");
    // \0 and \x00 would end the format early.
    EXPECT_EQ(PrepareRunReplacement("a\\x00", "(b)", capturesJob(true)).error().detail, text::kEscapeNul);
    // An unknown escape is refused as before.
    EXPECT_EQ(PrepareRunReplacement("\\q", "(b)", capturesJob(true)).error().detail, text::kEscapeUnknown);
}

TEST(RunReplacement, NamedGroupsAndReferencesTheLibraryReads)
{
    const Expected<std::string> result =
        PrepareRunReplacement("${w}|$2|${1}|$&|$0|$$|\\u${w}\\l$2", "(?<w>ab)(C)", capturesJob());
    ASSERT_TRUE(result.has_value()) << result.error().detail;
    EXPECT_EQ(formatted("(?<w>ab)(C)", "xabC", result.value()), "ab|C|ab|abC|abC|$|Abc");
    // Perl's idiom for a capital followed by small letters.
    const Expected<std::string> idiom = PrepareRunReplacement("\\u\\L$1\\E!", "(\\w+)", capturesJob());
    EXPECT_EQ(formatted("(\\w+)", "hELLO", idiom.value()), "Hello!");
    // An expression that does not compile is the start check's to name.
    EXPECT_TRUE(PrepareRunReplacement("$9", "(a", capturesJob()).has_value());
}

TEST(RunReplacement, WithoutCapturesOrExpressionTheTextIsLiteral)
{
    SearchJob noCaptures = capturesJob(true);
    noCaptures.replacementCaptures = false;
    SearchJob noExpression = capturesJob(true);
    noExpression.regularExpression = false;
    for (const SearchJob& job : {noCaptures, noExpression}) {
        const Expected<std::string> result = PrepareRunReplacement("$7 ${ \\\\ \\t", "(a)", job);
        ASSERT_TRUE(result.has_value());
        EXPECT_EQ(result.value(), "$7 ${ \\ \t");
    }
}

}  // namespace
}  // namespace tarnwick::test
