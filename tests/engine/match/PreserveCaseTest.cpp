// The hit's case carried onto the replacement: the documented cases of
// editors' "Preserve Case", in UTF-8, a single-byte code page and UTF-16.
#include "engine/match/PreserveCase.h"
#include "platform/CodePage.h"

#include <gtest/gtest.h>

namespace tarnwick::test {
namespace {

std::string Preserved(std::string_view hit, std::string_view replacement)
{
    std::string out = "<";
    AppendCasePreserved(hit, replacement, out);
    return out.substr(1);
}

struct Case {
    const char* hit;
    const char* replacement;
    const char* expected;
};

TEST(PreserveCase, FollowsTheHitsCaseLikeTheEditorsOption)
{
    const Case cases[] = {
        {"FOO", "bar", "BAR"},
        {"Foo", "bar", "Bar"},
        {"foo", "BAR", "bar"},
        {"Foo", "bAR", "BAR"},  // the first letter only; the rest as typed
        {"fOO", "bar", "bar"},  // a mixed hit keeps the replacement as typed
        {"FoO", "bAr", "bAr"},
        {"F", "bar", "BAR"},
        {"FOO1", "bar2", "BAR2"},
        {"123", "bAr", "bAr"},  // no letters
        {"", "bAr", "bAr"},
        {"foo-bar", "Baz-Qux", "baz-qux"},
        {"Foo-Bar", "baz-qux", "Baz-Qux"},
        {"FOO-bar", "baz-qux", "BAZ-qux"},
        {"FOO_BAR", "baz_qux", "BAZ_QUX"},
        {"Foo-Bar", "baz-qux-quux", "baz-qux-quux"},  // parts differ in number: the whole (mixed) hit counts
        {"FOO_BAR", "baz-qux", "BAZ-QUX"},
        {"foo-bar_x", "Baz-Qux_y", "baz-qux_y"},  // both joints: the whole hit counts
        {"ÄRGER", "übel", "ÜBEL"},
        {"Ärger", "übel", "Übel"},
        {"ärger", "ÜBEL", "übel"},
        {"ΑΒΓ", "δέλτα", "ΔΈΛΤΑ"},
    };
    for (const Case& c : cases) EXPECT_EQ(Preserved(c.hit, c.replacement), c.expected) << c.hit << " / " << c.replacement;
}

TEST(PreserveCase, KeepsBytesThatAreNoCharacter)
{
    EXPECT_EQ(Preserved("ABC", "x\xff\xc3y"), "X\xff\xc3Y");
    EXPECT_EQ(Preserved("A\xff", "b"), "B");
}

TEST(PreserveCase, UsesTheSingleByteCodePagesOwnLetters)
{
    const CodePage latin1("ISO-8859-1");
    std::string out;
    AppendCasePreserved("\xc4RGER",
                        "\xfc"
                        "bel",
                        latin1, out);  // ÄRGER, übel
    EXPECT_EQ(out,
              "\xdc"
              "BEL");
    out.clear();
    AppendCasePreserved("\xc4rger",
                        "\xfc"
                        "bel",
                        latin1, out);
    EXPECT_EQ(out,
              "\xdc"
              "bel");
    out.clear();
    AppendCasePreserved("\xe4rger",
                        "\xdc"
                        "BEL",
                        latin1, out);
    EXPECT_EQ(out,
              "\xfc"
              "bel");
}

TEST(PreserveCase, Utf16TextAndTheByteStyleWithGroups)
{
    std::u16string units;
    AppendCasePreserved(u"Ärger-FOO", u"übel-x\U0001D4B6", units);
    EXPECT_EQ(units, u"Übel-X\U0001D4B6");

    // Groups first, then the hit's case.
    boost::cmatch match;
    const boost::regex expression("(\\w+) (\\w+)", boost::regex::icase);
    const char* text = "HELLO WORLD";
    ASSERT_TRUE(boost::regex_match(text, match, expression));
    const std::string format = "$2-\\L$1";
    std::string scratch;
    std::string out;
    AppendReplacement({true, true, nullptr}, format, text, match, scratch, out);
    EXPECT_EQ(out, "WORLD-HELLO");
    out.clear();
    AppendReplacement({true, false, nullptr}, format, text, match, scratch, out);
    EXPECT_EQ(out, "WORLD-hello");
}

}  // namespace
}  // namespace tarnwick::test
