#include "engine/match/SearchPattern.h"
#include "engine/Messages.h"
#include "engine/match/LiteralFinder.h"
#include "engine/match/RequiredLiteral.h"
#include "tests/engine/match/SearchTester.h"

#include <gtest/gtest.h>

#include <random>

namespace tarnwick::test {

TEST(InterpretEscapes, ConvertsOrRefuses)
{
    const struct {
        std::string in;
        const char* error;  // nullptr: succeeds with `out`
        std::string out;
    } rows[] = {
        {"", nullptr, ""},
        {"plain", nullptr, "plain"},
        {"a\\tb", nullptr, "a\tb"},
        {"\\\\\\a\\e\\f\\n\\r\\v", nullptr, "\\\a\x1B\f\n\r\v"},
        {"end\\", nullptr, "end\\"},
        {"\\x4A\\x4a\\x7e!", nullptr, "JJ~!"},
        {"\\xff", nullptr, "\xFF"},
        {"ab\\x4", text::kEscapeBadHex, ""},
        {"\\x", text::kEscapeBadHex, ""},
        {"\\x4g", text::kEscapeBadHex, ""},
        {"\\xg4", text::kEscapeBadHex, ""},
        {"a\\0", text::kEscapeNul, ""},
        {"\\q", text::kEscapeUnknown, ""},
        {"\\101", text::kEscapeUnknown, ""},  // no octal escapes
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.in);
        const Expected<std::string> result = InterpretEscapes(row.in);
        EXPECT_EQ(result.has_value(), row.error == nullptr);
        if (row.error)
            EXPECT_EQ(result.error().detail, row.error);
        else
            EXPECT_EQ(result.value(), row.out);
    }
}

TEST(CompileRegex, CompilesWithTheCaseOrFailsAtTheByteWhereTheLibraryGaveUp)
{
    const Expected<boost::regex> exact = CompileRegex("a(b)", true);
    const Expected<boost::regex> folded = CompileRegex("a(b)", false);
    ASSERT_TRUE(exact && folded);
    EXPECT_FALSE(boost::regex_search("xAB", exact.value()));
    EXPECT_TRUE(boost::regex_search("xAB", folded.value()));

    const Expected<boost::regex> bad = CompileRegex("ab)", true);
    ASSERT_FALSE(bad);
    EXPECT_EQ(bad.error().kind, FailureKind::InvalidInput);
    EXPECT_EQ(bad.error().position, 2);
    EXPECT_FALSE(bad.error().detail.empty());
}

TEST(PrepareSearchText, LowersOnlyPlainTextWithoutCase)
{
    const CodePage& page = RunFixture::utF8();
    EXPECT_EQ(PrepareSearchText("ÄbC", JobFor(0), page), "äbc");
    EXPECT_EQ(PrepareSearchText("ÄbC", JobFor(MatchCase), page), "ÄbC");
    EXPECT_EQ(PrepareSearchText("\\W\\D", JobFor(Regex), page), "\\W\\D");
}

TEST(RequiredLiteral, NeverClaimsWhatAMatchLacks)
{
    const struct {
        const char* pattern;
        bool ignoreCase;
        const char* literal;
    } rows[] = {
        {"hello", false, "hello"},
        {"HeLLo", true, "hello"},
        {"ab+c", false, "ab"},
        {"abc?de", false, "ab"},
        {"x(abc)?yz", false, "yz"},
        {"a{2}bcd", false, "bcd"},
        {"[abc]defg", false, "defg"},
        {"\\.txt$", false, ".txt"},
        {"ab(c|d)ef", false, "ab"},
        {"\\d+xyzw", false, "xyzw"},
        {"foo|bar", false, ""},
        {"(?i)abc", false, ""},
        {"\\Qa|b\\E", false, ""},
        {"a*", false, ""},
        {"\xC3\xA4x", true, "x"},
        // Escapes with an argument: the argument is not text of the match.
        {"\\x41BC", false, ""},
        {"\\x{41}BC", false, ""},
        {"\\cAxy", false, ""},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.pattern);
        const std::string literal = RequiredLiteral(row.pattern, row.ignoreCase);
        // Any answer must be inside every match; the table pins the useful one.
        EXPECT_EQ(literal, row.literal);
    }

    // End to end: the shortcut must not lose a hit the expression has.
    RunSearchCase({"escaped capital", "xyz ABC\n", "\\x41BC", Regex | MatchCase, {{4, 3}}});
}

TEST(LiteralFinder, AgreesWithStringFind)
{
    // Few distinct bytes make the rare-byte skip fail often, so both the
    // skip loop and the fallback search run.
    std::mt19937 random(7);
    const std::string alphabets[] = {std::string("ab\x01", 3), std::string("xyz \0Q", 6), "e"};
    for (const std::string& alphabet : alphabets) {
        std::string text;
        for (int i = 0; i < 4000; ++i) text.push_back(alphabet[random() % alphabet.size()]);
        for (int round = 0; round < 300; ++round) {
            std::string needle;
            const std::size_t length = 1 + random() % 6;
            if (round % 2 == 0) {
                needle = text.substr(random() % (text.size() - length), length);
            } else {
                for (std::size_t i = 0; i < length; ++i) needle.push_back(alphabet[random() % alphabet.size()]);
            }
            const std::size_t from = random() % text.size();
            const std::size_t size = random() % (text.size() - from + 1);
            const std::string_view range(text.data() + from, size);
            const LiteralFinder finder(needle);
            ASSERT_EQ(finder.find(range.data(), range.size()), range.find(needle))
                << "needle of " << needle.size() << " bytes, range " << from << "+" << size;
        }
    }
}

}  // namespace tarnwick::test
