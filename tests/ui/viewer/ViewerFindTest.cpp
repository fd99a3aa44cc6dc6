#include <gtest/gtest.h>

#include "ui/viewer/ViewerFind.h"

namespace tarnwick::ui {
namespace {

QString U(const char16_t* s) { return QStringView(s).toString(); }

ViewerFindOptions Plain(const char16_t* find, bool down = true)
{
    ViewerFindOptions o;
    o.findText = U(find);
    o.down = down;
    return o;
}

ViewerFindOptions Regex(const char16_t* find, const char16_t* replace = u"")
{
    ViewerFindOptions o;
    o.findText = U(find);
    o.replaceText = U(replace);
    o.regularExpression = true;
    return o;
}

std::pair<qsizetype, qsizetype> Found(const FindResult& r)
{
    EXPECT_EQ(r.status, FindStatus::Found) << r.message.toStdString();
    return {r.start, r.end};
}

using Range = std::pair<qsizetype, qsizetype>;

TEST(ViewerFindPlain, DownwardsFromTheSelectionEndThenWrapsOnce)
{
    ViewerFinder finder;
    finder.setOptions(Plain(u"ab"));
    const QString text = QStringLiteral("ab xab ab");
    EXPECT_EQ(Found(finder.find(text, 0, 2)), Range(4, 6));
    EXPECT_EQ(Found(finder.find(text, 4, 6)), Range(7, 9));
    EXPECT_EQ(Found(finder.find(text, 7, 9)), Range(0, 2));  // wrapped to the beginning

    finder.setOptions(Plain(u"zz"));
    EXPECT_EQ(finder.find(text, 0, 0).status, FindStatus::NotFound);
    finder.setOptions(Plain(u""));
    EXPECT_EQ(finder.find(text, 0, 0).status, FindStatus::NoFindText);
}

TEST(ViewerFindPlain, UpwardsWithNothingAboveWrapsToTheEnd)
{
    ViewerFinder finder;
    finder.setOptions(Plain(u"ab", false));
    const QString text = QStringLiteral("ab xx ab yy ab");
    EXPECT_EQ(Found(finder.find(text, 6, 8)), Range(0, 2));
    EXPECT_EQ(Found(finder.find(text, 0, 2)), Range(12, 14));  // nothing above: from the end
    EXPECT_EQ(Found(finder.find(text, 12, 14)), Range(6, 8));
}

TEST(ViewerFindPlain, CaseFoldingOfTheFirstCharacterCoversOnlyAToZ)
{
    ViewerFinder finder;
    finder.setOptions(Plain(u"wort"));
    EXPECT_EQ(Found(finder.find(QStringLiteral("ein WORT"), 0, 0)), Range(4, 8));
    // The rest of the candidate is compared ignoring case, beyond a to z too.
    finder.setOptions(Plain(u"xä"));
    EXPECT_EQ(Found(finder.find(U(u"X\u00C4"), 0, 0)), Range(0, 2));
    // A first letter outside a to z is looked for as typed.
    finder.setOptions(Plain(u"äx"));
    EXPECT_EQ(finder.find(U(u"\u00C4x"), 0, 0).status, FindStatus::NotFound);

    ViewerFindOptions exact = Plain(u"Wort");
    exact.matchCase = true;
    finder.setOptions(exact);
    EXPECT_EQ(Found(finder.find(QStringLiteral("wort Wort"), 0, 0)), Range(5, 9));
}

TEST(ViewerFindPlain, WholeWordOfATwoLetterWord)
{
    ViewerFinder finder;
    ViewerFindOptions o = Plain(u"ab");
    o.wholeWord = true;
    finder.setOptions(o);
    // Letters, digits and the accented word characters on either side refuse it.
    for (const char16_t* text : {u"abc", u"xab", u"ab1", u"9ab", u"ab\u00E9", u"\u00E7ab", u"ab\u00E0"}) {
        EXPECT_EQ(finder.find(U(text), 0, 0).status, FindStatus::NotFound) << U(text).toStdString();
    }
    // A space, punctuation, an underscore, a letter not in the list, or the text's end accept it.
    for (const char16_t* text : {u"ab c", u"c ab", u"ab", u"(ab)", u"_ab_", u"ab\u00DF"}) {
        EXPECT_EQ(finder.find(U(text), 0, 0).status, FindStatus::Found) << U(text).toStdString();
    }
}

TEST(ViewerFindRegex, SearchesDownwardsWithLineAndWordStartsFromTheRealText)
{
    ViewerFinder finder;
    finder.setOptions(Regex(u"^b\\w+"));
    const QString text = QStringLiteral("abc\nbcd bxy");
    // The caret right after the line end is a line start.
    EXPECT_EQ(Found(finder.find(text, 4, 4)), Range(4, 7));
    // The caret in the middle of a word is neither a line nor a word start.
    finder.setOptions(Regex(u"\\bc\\w*"));
    EXPECT_EQ(finder.find(text, 2, 2).status, FindStatus::NotFound);
    finder.setOptions(Regex(u"\\bb\\w*"));
    EXPECT_EQ(Found(finder.find(text, 5, 5)), Range(8, 11));
}

TEST(ViewerFindRegex, IgnoresCaseUnlessAskedAndReportsUnicodePositions)
{
    ViewerFinder finder;
    finder.setOptions(Regex(u"\u00C4\\d+"));
    const QString text = U(u"\U0001F600 \u00E412");
    EXPECT_EQ(Found(finder.find(text, 0, 0)), Range(3, 6));  // the emoji takes two units
    ViewerFindOptions exact = Regex(u"\u00C4\\d+");
    exact.matchCase = true;
    finder.setOptions(exact);
    EXPECT_EQ(finder.find(text, 0, 0).status, FindStatus::NotFound);
}

TEST(ViewerFindRegex, ACompileErrorGivesTheLibraryText)
{
    ViewerFinder finder;
    finder.setOptions(Regex(u"(unclosed"));
    const FindResult r = finder.find(QStringLiteral("text"), 0, 0);
    EXPECT_EQ(r.status, FindStatus::BadExpression);
    EXPECT_FALSE(r.message.isEmpty());
    EXPECT_TRUE(finder.expressionError().has_value());
}

TEST(ViewerFindRegex, AnEmptyMatchDoesNotStickToTheCaret)
{
    ViewerFinder finder;
    finder.setOptions(Regex(u"^"));
    const QString text = QStringLiteral("a\nb\nc");
    EXPECT_EQ(Found(finder.find(text, 0, 0)), Range(2, 2));
    EXPECT_EQ(Found(finder.find(text, 2, 2)), Range(4, 4));
}

TEST(ViewerReplace, PlainReplacesOnlyANonEmptySelection)
{
    ViewerFinder finder;
    ViewerFindOptions o = Plain(u"ab");
    o.replaceText = QStringLiteral("X");
    finder.setOptions(o);
    const QString text = QStringLiteral("ab ab");
    EXPECT_FALSE(finder.replacement(text, 1, 1).has_value());
    EXPECT_EQ(finder.replacement(text, 0, 2), QStringLiteral("X"));
}

TEST(ViewerReplace, RegexFormatsTheLastMatch)
{
    ViewerFinder finder;
    finder.setOptions(Regex(u"(\\w+)=(\\d+)", u"$2:$1"));
    const QString text = QStringLiteral("x a=12 b=3");
    const FindResult r = finder.find(text, 0, 0);
    EXPECT_EQ(finder.replacement(text, r.start, r.end), QStringLiteral("12:a"));
    // A selection that is not the match, or a changed text, replaces nothing.
    EXPECT_FALSE(finder.replacement(text, 0, 1).has_value());
    const QString edited = text + QStringLiteral(" ");
    EXPECT_FALSE(finder.replacement(edited, r.start, r.end).has_value());
}

TEST(ViewerReplaceAll, ReplacesEveryMatchOrNothing)
{
    ViewerFinder finder;
    ViewerFindOptions o = Plain(u"ab");
    o.replaceText = QStringLiteral("<>");
    o.wholeWord = true;
    finder.setOptions(o);
    EXPECT_EQ(finder.replaceAll(QStringLiteral("ab abc AB ab")), QStringLiteral("<> abc <> <>"));
    EXPECT_FALSE(finder.replaceAll(QStringLiteral("abc")).has_value());

    finder.setOptions(Regex(u"(\\d)(\\d)", u"$2$1"));
    EXPECT_EQ(finder.replaceAll(U(u"12 \U0001F600 34")), U(u"21 \U0001F600 43"));

    finder.setOptions(Regex(u"[unclosed"));
    QString error;
    EXPECT_FALSE(finder.replaceAll(QStringLiteral("x"), &error).has_value());
    EXPECT_FALSE(error.isEmpty());
}

TEST(ViewerReplace, WithCapturesTheReplacementIsMadeAsARunMakesIt)
{
    ViewerFinder finder;
    ViewerFindOptions o = Regex(u"(?<kind>\\w+)_cast<", u"\\u\\L${kind}\\t_cast<");
    o.captures = true;
    o.specialCharacters = true;
    finder.setOptions(o);
    EXPECT_FALSE(finder.expressionError().has_value());
    const QString text = QStringLiteral("x = STATIC_cast<int>(y) + dynamic_cast<B*>(p);");
    const FindResult r = finder.find(text, 0, 0);
    // A named group, \u\L as Perl reads it, the escapes first.
    EXPECT_EQ(finder.replacement(text, r.start, r.end), QStringLiteral("Static\t_cast<"));
    EXPECT_EQ(finder.replaceAll(text), QStringLiteral("x = Static\t_cast<int>(y) + Dynamic\t_cast<B*>(p);"));

    // The next match, found from behind the first, is replaced as the first was.
    const FindResult next = finder.find(text, r.start, r.end);
    ASSERT_EQ(text.mid(next.start, next.end - next.start), QStringLiteral("dynamic_cast<"));
    EXPECT_EQ(finder.replacement(text, next.start, next.end), QStringLiteral("Dynamic\t_cast<"));
    finder.setOptions(Regex(u"(\\w+)_cast<", u"[$1]"));
    const FindResult plainFirst = finder.find(text, 0, 0);
    const FindResult plainNext = finder.find(text, plainFirst.start, plainFirst.end);
    EXPECT_EQ(finder.replacement(text, plainNext.start, plainNext.end), QStringLiteral("[dynamic]"));
    finder.setOptions(o);

    // A reference the expression has no group for is refused with the run's message.
    o.replaceText = QStringLiteral("$2");
    finder.setOptions(o);
    EXPECT_EQ(finder.expressionError(),
              QString::fromUtf8("Der Ersetzungstext verweist auf die Gruppe $2, der Ausdruck hat aber nur 1 Gruppe."));
    QString error;
    EXPECT_FALSE(finder.replaceAll(text, &error).has_value());
    EXPECT_FALSE(error.isEmpty());
}

TEST(ViewerReplace, PreservedCaseFollowsEachHit)
{
    ViewerFinder finder;
    ViewerFindOptions o = Plain(u"zähler");
    o.replaceText = QStringLiteral("übel");
    o.preserveCase = true;
    finder.setOptions(o);
    const QString text = QStringLiteral("zähler Zähler ZÄHLER");
    EXPECT_EQ(finder.replacement(text, 7, 13), QStringLiteral("Übel"));
    EXPECT_EQ(finder.replaceAll(text), QStringLiteral("übel Übel ÜBEL"));

    // Groups first, then the hit's case, match by match.
    o = Regex(u"(\\w+)-(\\w+)", u"$2-$1");
    o.captures = true;
    o.preserveCase = true;
    finder.setOptions(o);
    const QString pairs = QStringLiteral("foo-bar Foo-bar");
    const FindResult first = finder.find(pairs, 0, 0);
    EXPECT_EQ(finder.replacement(pairs, first.start, first.end), QStringLiteral("bar-foo"));
    EXPECT_EQ(finder.replaceAll(pairs), QStringLiteral("bar-foo Bar-foo"));
}

}  // namespace
}  // namespace tarnwick::ui
