// The replacement as a Perl format, filled in from each match: random
// expressions with groups and random templates with references and case
// changes, replaced by the engine (whole and in tiny chunks, in byte files
// and UTF-16 files), must give what Perl itself gives for the same
// substitution.
#include "engine/Messages.h"
#include "engine/job/RunReplacement.h"
#include "engine/replace/ReplaceInFile.h"
#include "tests/support/ReplaceFixture.h"
#include "tests/support/TempTree.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <random>
#include <set>

namespace tarnwick::test {
namespace {

std::size_t pick(std::mt19937& rng, std::size_t n) { return std::uniform_int_distribution<std::size_t>(0, n - 1)(rng); }

// An expression from a small grammar: literals, classes, groups (numbered
// and named), alternatives, bounded repetition. It never matches the empty
// text (its first atom is never optional) and its matches stay short, so
// that a chunk overlap always holds a whole match.
class ExpressionMaker {
public:
    explicit ExpressionMaker(std::mt19937& rng) : m_rng(rng) {}

    std::string make()
    {
        std::string s = firstAtom();
        for (std::size_t n = pick(m_rng, 3); n > 0; --n) s += atom(0);
        return s;
    }
    int groups() const { return m_groups; }
    bool isNamed(int group) const { return m_named.count(group) != 0; }

private:
    std::string firstAtom()
    {
        static const char* const kAtoms[] = {"a", "b", "[ab]", "\\w", "[A-Z]", "x"};
        static const char* const kRepeats[] = {"", "", "+", "{1,2}"};
        return std::string(kAtoms[pick(m_rng, std::size(kAtoms))]) + kRepeats[pick(m_rng, std::size(kRepeats))];
    }
    std::string atom(int depth)
    {
        static const char* const kRepeats[] = {"", "", "", "?", "{1,2}"};
        const std::size_t kind = depth >= 2 ? 0 : pick(m_rng, 5);
        std::string s;
        if (kind < 2) return firstAtom();  // repeated already, or not
        if (kind == 2 || kind == 3) {
            const int group = ++m_groups;
            if (kind == 3) m_named.insert(group);
            s = kind == 3 ? "(?<g" + std::to_string(group) + ">" : "(";
            s += firstAtom();
            for (std::size_t n = pick(m_rng, 2); n > 0; --n) s += atom(depth + 1);
            s += ")";
        } else {
            ++m_groups;
            s = "(" + firstAtom() + "|" + firstAtom() + atom(depth + 1) + ")";
        }
        return s + kRepeats[pick(m_rng, std::size(kRepeats))];
    }

    std::mt19937& m_rng;
    int m_groups = 0;
    std::set<int> m_named;
};

// A template for the engine and the same substitution written for Perl
// (where $0 is the program's name, $$ its process and named groups are
// $+{name}).
struct Template {
    std::string ours;
    std::string perl;
};

Template makeTemplate(std::mt19937& rng, const ExpressionMaker& expression)
{
    Template t;
    auto add = [&](const std::string& ours, const std::string& perl) {
        t.ours += ours;
        t.perl += perl;
    };
    auto reference = [&] {
        const int groups = expression.groups();
        const std::size_t kind = pick(rng, 6);
        if (groups == 0 || kind == 0) {
            if (pick(rng, 2) == 0)
                add("$&", "$&");
            else
                add("$0", "$&");
            return;
        }
        const int group = 1 + static_cast<int>(pick(rng, static_cast<std::size_t>(groups)));
        const std::string n = std::to_string(group);
        if (kind == 1 && expression.isNamed(group))
            add("${g" + n + "}", "$+{g" + n + "}");
        else if (kind == 2 && group <= 9)
            add("\\" + n, "\\" + n);
        else if (kind == 3)
            add("${" + n + "}", "${" + n + "}");
        else
            add("$" + n, "${" + n + "}");  // Perl reads $1 before a word character as it should, braces keep it plain
    };
    static const char* const kLiterals[] = {"-", " ", "=", ",", "zq", "Z"};
    for (std::size_t n = 1 + pick(rng, 4); n > 0; --n) {
        switch (pick(rng, 6)) {
        case 0: {
            const char* literal = kLiterals[pick(rng, std::size(kLiterals))];
            add(literal, literal);
            break;
        }
        case 1:
        case 2: reference(); break;
        case 3: {
            const char* open = pick(rng, 2) ? "\\U" : "\\L";
            add(open, open);
            reference();
            if (pick(rng, 2)) add("zQ", "zQ");
            add("\\E", "\\E");
            break;
        }
        default: {
            // \u\L is Perl's idiom for a capital and small letters after it.
            static const char* const kOneShots[] = {"\\u", "\\l", "\\u\\L", "\\l\\U"};
            const char* one = kOneShots[pick(rng, std::size(kOneShots))];
            add(one, one);
            reference();
            // Nothing else pending when the next one comes (see ReplacementFormat.h).
            add("=\\E", "=\\E");
        }
        }
    }
    return t;
}

std::string randomSubject(std::mt19937& rng)
{
    static const char kWordBytes[] = {'a', 'b', 'x', 'A', 'B', '_'};
    static const char kSeparators[] = {' ', ' ', '\n', '-'};
    std::string s;
    for (std::size_t words = pick(rng, 30); words > 0; --words) {
        for (std::size_t n = 1 + pick(rng, 4); n > 0; --n) s += kWordBytes[pick(rng, sizeof kWordBytes)];
        s += kSeparators[pick(rng, sizeof kSeparators)];
    }
    return s;
}

std::string perlReplaced(TempTree& tree, const std::string& subject, const std::string& pattern, const Template& t,
                         bool matchCase)
{
    const std::string in = tree.write("perl-in.txt", subject);
    const std::string program = tree.write("perl.pl", "s~" + pattern + "~" + t.perl + "~gm" + (matchCase ? "" : "i") + ";\n");
    const std::string out = tree.path("perl-out.txt");
    const std::string command = "perl -0777 -p '" + program + "' '" + in + "' > '" + out + "' 2>/dev/null";
    if (std::system(command.c_str()) != 0) return "<perl failed>";
    return ReadFile(out);
}

enum class FileEncoding { Bytes, Utf16Little, Utf16Big };

// The ASCII `text` as a file in `encoding`: as it is, or widened to UTF-16
// behind its byte-order mark.
std::string inEncoding(const std::string& text, FileEncoding encoding)
{
    if (encoding == FileEncoding::Bytes) return text;
    const bool big = encoding == FileEncoding::Utf16Big;
    std::string bytes = big ? "\xFE\xFF" : "\xFF\xFE";
    for (const char c : text) bytes += big ? std::string{'\0', c} : std::string{c, '\0'};
    return bytes;
}

TEST(ReplaceCaptures, RandomTemplatesEqualPerlWholeAndInChunks)
{
    if (std::system("perl -e 1 2>/dev/null") != 0) GTEST_SKIP() << "perl is not installed";
    TempTree tree;
    const std::string path = tree.path("f.txt");
    int compared = 0;
    for (std::uint32_t seed = 1; seed <= 150; ++seed) {
        std::mt19937 rng(seed);
        ExpressionMaker maker(rng);
        const std::string pattern = maker.make();
        const Template t = makeTemplate(rng, maker);
        const std::string subject = randomSubject(rng);
        const bool matchCase = pick(rng, 2) == 0;
        const std::string expected = perlReplaced(tree, subject, pattern, t, matchCase);
        ASSERT_NE(expected, "<perl failed>") << pattern << " -> " << t.perl;
        SearchJob job = TestJob();
        job.makeBackup = false;
        job.regularExpression = true;
        job.replacementCaptures = true;
        job.matchCase = matchCase;
        job.splitMaxOffset = 32;
        const Expected<std::string> replacement = PrepareRunReplacement(t.ours, pattern, job);
        ASSERT_TRUE(replacement.has_value()) << replacement.error().detail << " for " << t.ours;
        // UTF-16 files are matched as characters, by another engine: the same result in either byte order.
        for (const FileEncoding encoding : {FileEncoding::Bytes, FileEncoding::Utf16Little, FileEncoding::Utf16Big}) {
            for (const std::uint32_t splitLength : {0u, 8u, 13u, 64u}) {  // 0: whole
                SCOPED_TRACE(::testing::Message() << "seed " << seed << ", encoding " << static_cast<int>(encoding) << ", split "
                                                  << splitLength << ", '" << pattern << "' -> '" << t.ours << "', case "
                                                  << matchCase << ", subject '" << subject << "'");
                job.splitLength = splitLength ? splitLength : 1u << 20;
                tree.write("f.txt", inEncoding(subject, encoding));
                ReplaceFixture fixture(job, pattern, replacement.value());
                EXPECT_TRUE(ReplaceInFile(fixture.run(), path));
                ASSERT_EQ(ReadFile(path), inEncoding(expected, encoding));
                ASSERT_TRUE(fixture.errors().empty());
                ++compared;
            }
        }
    }
    EXPECT_EQ(compared, 1800);
}

}  // namespace
}  // namespace tarnwick::test
