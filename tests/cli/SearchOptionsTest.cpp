// tarnwick-cli end to end: every option reaches the job and changes the run.
#include "engine/Messages.h"
#include "tests/cli/CliProcess.h"
#include "tests/support/TempTree.h"
#include "tests/word/WordFixtures.h"

#include <gtest/gtest.h>

#include <ctime>

namespace tarnwick::test {
namespace {

using Strings = std::vector<std::string>;
using Paths = std::set<std::string>;

// Positions of the hits of `text` in `dir` with `options` in front.
Strings positions(const Strings& options, const std::string& text, const std::string& dir)
{
    Strings args{"search"};
    args.insert(args.end(), options.begin(), options.end());
    args.push_back(text);
    args.push_back(dir);
    return HitPositions(RunCli(args).out);
}

std::string contextOf(const std::string& out)
{
    const Strings body = BodyLines(out);
    if (body.size() != 1) return "(" + std::to_string(body.size()) + " lines)";
    return body[0].substr(body[0].find("; T: ") + 5);
}

std::int64_t localTime(int year, int month, int day)
{
    std::tm tm{};
    tm.tm_year = year - 1900;
    tm.tm_mon = month - 1;
    tm.tm_mday = day;
    tm.tm_isdst = -1;
    return std::mktime(&tm);
}

TEST(CliSearchOptions, MatchingOptionsChangeWhichHitsAreFound)
{
    TempTree tree;
    const std::string words = tree.mkdir("words");
    tree.write("words/a.txt", "Needle xneedle needle_1 (needle)\n");
    EXPECT_EQ(positions({}, "needle", words), (Strings{"P: 0; L: 6", "P: 8; L: 6", "P: 15; L: 6", "P: 25; L: 6"}));
    EXPECT_EQ(positions({}, "NEEDLE", words).size(), 4u);
    EXPECT_EQ(positions({"-c"}, "needle", words), (Strings{"P: 8; L: 6", "P: 15; L: 6", "P: 25; L: 6"}));
    EXPECT_EQ(positions({"--match-case"}, "Needle", words), (Strings{"P: 0; L: 6"}));
    // '_' and '(' are not word characters, 'x' is.
    EXPECT_EQ(positions({"-w"}, "needle", words), (Strings{"P: 0; L: 6", "P: 15; L: 6", "P: 25; L: 6"}));
    EXPECT_EQ(positions({"-c", "--whole-words"}, "needle", words), (Strings{"P: 15; L: 6", "P: 25; L: 6"}));
    EXPECT_EQ(positions({"-e"}, R"(N[e]+dle_\d)", words), (Strings{"P: 15; L: 8"}));
    EXPECT_EQ(positions({"--regex", "-c"}, R"(N\w+)", words), (Strings{"P: 0; L: 6"}));
    EXPECT_EQ(positions({}, R"(N[e]+dle)", words), Strings{});

    tree.write("deep/top.txt", "needle");
    tree.write("deep/sub/low.txt", "needle");
    EXPECT_EQ(ReportedPaths(RunCli({"search", "needle", tree.path("deep")}).out, tree.path("deep")), Paths{"top.txt"});
    EXPECT_EQ(ReportedPaths(RunCli({"search", "-r", "needle", tree.path("deep")}).out, tree.path("deep")),
              (Paths{"top.txt", "sub/low.txt"}));

    // Context: K - 1 bytes before the hit, at most K after it, "..." where the
    // line goes on.
    tree.write("context/a.txt", "0123456789 needle abcdefghij\nshort needle\n");
    const CliOutcome context = RunCli({"search", "--context", "5", "needle", tree.path("context")});
    EXPECT_EQ(BodyLines(context.out),
              (Strings{tree.path("context/a.txt") + "; P: 11; L: 6; T: ...789 needle abcd...",
                       tree.path("context/a.txt") + "; P: 35; L: 6; T: ...ort needle"}));

    // In a file taken for UTF-8 the context reaches back 2K - 1 bytes, so
    // whole characters are shown and no "..." is put in front.
    tree.write("utf8/a.txt", "\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9 hit\n");
    EXPECT_EQ(contextOf(RunCli({"search", "--context", "4", "hit", tree.path("utf8")}).out), "...\xC3\xA9 hit");
    EXPECT_EQ(contextOf(RunCli({"search", "--context", "4", "--detect-utf8", "hit", tree.path("utf8")}).out),
              "\xC3\xA9\xC3\xA9\xC3\xA9 hit");

    // The plain search ends at the first NUL only with --ignore-nulls.
    tree.write("nul/a.bin", std::string("needle\0needle", 13));
    EXPECT_EQ(positions({}, "needle", tree.path("nul")), (Strings{"P: 0; L: 6", "P: 7; L: 6"}));
    EXPECT_EQ(positions({"--ignore-nulls"}, "needle", tree.path("nul")), (Strings{"P: 0; L: 6"}));
}

TEST(CliSearchOptions, SplitModeFindsHitsAcrossChunkBordersOnce)
{
    TempTree tree;
    // Chunks of 64 bytes: the second hit crosses the first border, the third
    // ends exactly on a later one; the file is far above 1.1 x 64 bytes.
    // Every hit has a line of its own, so its context does not depend on
    // where a chunk ends.
    std::string text(300, '.');
    for (std::size_t at : {29u, 36u, 60u, 67u, 121u, 128u, 250u, 257u}) text[at] = '\n';
    for (std::size_t at : {30u, 61u, 122u, 251u}) text.replace(at, 6, "needle");
    tree.write("a.txt", text);
    const CliOutcome whole = RunCli({"search", "needle", tree.root()});
    const Strings expected{"P: 30; L: 6", "P: 61; L: 6", "P: 122; L: 6", "P: 251; L: 6"};
    EXPECT_EQ(HitPositions(whole.out), expected);
    for (const char* split : {"64", "100"}) {
        SCOPED_TRACE(split);
        EXPECT_EQ(RunCli({"search", "--split-length", split, "needle", tree.root()}).out, whole.out);
        // An expression's chunks overlap by up to --split-max-offset bytes;
        // a hit at a chunk's end may show a shorter context, never twice.
        EXPECT_EQ(HitPositions(RunCli({"search", "-e", "--split-length", split, "ne+dle", tree.root()}).out), expected);
        EXPECT_EQ(
            HitPositions(RunCli({"search", "-e", "--split-length", split, "--split-max-offset", "8", "ne+dle", tree.root()}).out),
            expected);
    }
    EXPECT_EQ(RunCli({"search", "--split-length", "63", "needle", tree.root()}).status, 2);
}

// Without --word-ext an OpenDocument text is a document like a .docx: its
// packed bytes were searched instead, and a word in it was never found.
TEST(CliSearchOptions, AnOpenDocumentTextIsADocumentByDefault)
{
    TempTree tree;
    tree.mkdir("docs");
    word::test::WriteDocx(tree, "docs/brief.docx", "<w:p><w:r><w:t>Ein Apfel</w:t></w:r></w:p>");
    word::test::WriteOdt(tree, "docs/brief.odt", "<text:p>Ein Apfel</text:p>");
    EXPECT_EQ(ReportedPaths(RunCli({"search", "Apfel", tree.path("docs")}).out, tree.path("docs")),
              (Paths{"brief.docx", "brief.odt"}));
}

// An expression runs in documents only with --word-regex; without it the
// text is looked for literally there, and the run ends by saying so.
TEST(CliSearchOptions, AnExpressionReachesDocumentsOnlyWithWordRegexAndIsNeverTakenLiterallyInSilence)
{
    TempTree tree;
    tree.mkdir("docs");
    word::test::WriteDocx(tree, "docs/brief.docx", "<w:p><w:r><w:t>Die Rechnung, die Rech.ung</w:t></w:r></w:p>");
    tree.write("docs/notiz.txt", "Rechnung\n");
    const auto lastLines = [](const std::string& out) {
        const std::size_t end = out.rfind('\n', out.size() - 2);
        return out.substr(out.rfind('\n', end - 1) + 1);
    };
    const CliOutcome literal = RunCli({"search", "-e", "Rech.ung", tree.path("docs")});
    EXPECT_EQ(HitPositions(literal.out), (Strings{"P: 18; L: 8", "P: 0; L: 8"}));  // the document's "Rech.ung" as it stands
    EXPECT_EQ(lastLines(literal.out),
              "Suche abgeschlossen. 2 Einträge in 2 Dateien  wurden gefunden.\n" +
                  std::string(text::kDocumentsSearchedLiterally) + "\n");

    const CliOutcome expression = RunCli({"search", "-e", "--word-regex", "Rech.ung", tree.path("docs")});
    EXPECT_EQ(HitPositions(expression.out), (Strings{"P: 4; L: 8", "P: 18; L: 8", "P: 0; L: 8"}));
    EXPECT_EQ(expression.out.find(text::kDocumentsSearchedLiterally), std::string::npos);
    // A plain search has nothing to say about expressions.
    EXPECT_EQ(RunCli({"search", "Rechnung", tree.path("docs")}).out.find(text::kDocumentsSearchedLiterally), std::string::npos);
}

TEST(CliSearchOptions, FiltersDecideWhichEntriesAreSearched)
{
    TempTree tree;
    const auto found = [&](const std::string& dir, Strings options) {
        Strings args{"search", "-r", "--file-names"};
        args.insert(args.end(), options.begin(), options.end());
        args.push_back("zz");
        args.push_back(tree.path(dir));
        return ReportedPaths(RunCli(args).out, tree.path(dir));
    };

    for (const char* name : {"zz.txt", "zz.md", "zz.cpp", "ZZ.TXT", "zz", "zz.txt.bak"})
        tree.write(std::string("types/") + name, "");
    EXPECT_EQ(found("types", {"-t", "txt,md"}), (Paths{"zz.txt", "zz.md", "ZZ.TXT"}));
    EXPECT_EQ(found("types", {"--types", "*.cpp; .md"}), (Paths{"zz.cpp", "zz.md"}));
    EXPECT_EQ(found("types", {}), (Paths{"zz.txt", "zz.md", "zz.cpp", "ZZ.TXT", "zz"}));

    for (const char* name : {"zz_test_log.txt", "zz_test.txt", "zz_other.txt"}) tree.write(std::string("names/") + name, "");
    EXPECT_EQ(found("names", {"--names", "test;log"}), Paths{"zz_test_log.txt"});
    EXPECT_EQ(found("names", {"--names", "test;log", "--names-mode", "ignore"}), Paths{"zz_other.txt"});

    for (int size : {1023, 1024, 2048, 2049}) tree.write("sizes/zz" + std::to_string(size), std::string(size, 'x'));
    EXPECT_EQ(found("sizes", {"--min-size", "1", "--max-size", "2"}), (Paths{"zz1024", "zz2048"}));
    EXPECT_EQ(found("sizes", {"--max-size", "1"}), (Paths{"zz1023", "zz1024"}));

    // Both bounds are inclusive, to the second.
    const std::int64_t from = localTime(2021, 6, 1), to = localTime(2022, 6, 1);
    const std::pair<const char*, std::int64_t> dated[] = {
        {"zz_before", from - 1}, {"zz_from", from}, {"zz_to", to}, {"zz_after", to + 1}};
    for (const auto& [name, time] : dated) {
        tree.write(std::string("dates/") + name, "");
        tree.setTimes(std::string("dates/") + name, time, time);
    }
    EXPECT_EQ(
        found("dates", {"--date-kinds", "modified", "--date-from", "2021-06-01 00:00:00", "--date-to", "2022-06-01 00:00:00"}),
        (Paths{"zz_from", "zz_to"}));
    EXPECT_EQ(found("dates", {"--date-kinds", "accessed,modified", "--date-to", "2021-06-01 00:00:00"}),
              (Paths{"zz_before", "zz_from"}));

    // A hidden directory is still entered unless attributes apply to directories.
    tree.write("hidden/.zz.txt", "");
    tree.write("hidden/.dir/zz.txt", "");
    tree.write("hidden/zz.txt", "");
    EXPECT_EQ(found("hidden", {}), (Paths{".zz.txt", ".dir/zz.txt", "zz.txt"}));
    EXPECT_EQ(found("hidden", {"--skip-hidden"}), (Paths{".dir/zz.txt", "zz.txt"}));
    EXPECT_EQ(found("hidden", {"--skip-hidden", "--attributes-on-dirs"}), (Paths{"zz.txt"}));
}

}  // namespace
}  // namespace tarnwick::test
