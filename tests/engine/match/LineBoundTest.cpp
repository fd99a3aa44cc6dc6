#include "engine/match/LineBound.h"

#include <gtest/gtest.h>

#include <string>

namespace tarnwick::test {

TEST(MayCrossLineEnd, ProvesOnlyWhatItUnderstands)
{
    const struct {
        std::string pattern;
        bool mayCross;
    } rows[] = {
        // Confined to a line.
        {"[a-z_0-9]+_irqsave[(]", false},
        {"^\\w+$", false},
        {"\\bfoo\\b\\z", false},
        {"[]a]x[a-]", false},  // a leading ']' and a trailing '-' are members
        {"[[:alpha:][:digit:]_]+\\d{2,4}\\S+\\l\\u", false},
        {"(?:ab|cd)(?=x)(?!y)(?>z)", false},
        {"\\<word\\>a\\Bb\\t\\f", false},
        {"[\x0B-\x0C]", false},  // between LF and CR
        {"[\\]\\-.]\\.\\*\\(", false},
        // Classes and escapes that hold a line end, or may.
        {"a.b", true},
        {"a\\sb", true},
        {"a\\Wb", true},
        {"\\R", true},
        {"\\v", true},
        {"[^a]b", true},
        {"[\\n]", true},
        {"[\t-\x0E]", true},
        {"[ -\xFF]", true},
        {"[[:space:]]", true},
        {"[[:cntrl:]]", true},
        {"a\nb", true},
        {"\\\n", true},
        // Escapes with an argument, back-references.
        {"\\x41", true},
        {"\\cJ", true},
        {"(a)\\1", true},
        {"\\Qa\\E", true},
        // Assertions about the search range, not the neighbouring bytes.
        {"\\Aab", true},
        {"\\Gab", true},
        {"ab\\Z", true},
        {"a\\Kb", true},
        // Groups that are not plain, lookahead or atomic.
        {"(?i)ab", true},
        {"(?<=a)b", true},
        {"(?<n>a)", true},
        {"(*ACCEPT)a", true},
        // Broken patterns.
        {"ab\\", true},
        {"[a", true},
    };
    for (const auto& row : rows) EXPECT_EQ(MayCrossLineEnd(row.pattern), row.mayCross) << row.pattern;
}

}  // namespace tarnwick::test
