#include "engine/content/ContentSearch.h"
#include "platform/SystemError.h"
#include "tests/engine/match/SearchTester.h"
#include "tests/support/TempTree.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>

namespace tarnwick::test {

TEST(SearchFileContents, ListsHitsUnderOneFileItem)
{
    TempTree tree;
    const std::string hitless = tree.write("none.txt", "nothing here\n");
    const std::string path = tree.write("three.txt", "one two one\nthree one\n");
    RunFixture fixture(JobFor(0), "one");
    EXPECT_TRUE(SearchFileContents(fixture.run(), hitless));
    EXPECT_EQ(fixture.results().ItemCount(), 0u);
    EXPECT_EQ(fixture.counters().hits.load(), 0);
    EXPECT_EQ(fixture.counters().files.load(), 0);
    EXPECT_EQ(fixture.runLog().text(), "");

    EXPECT_TRUE(SearchFileContents(fixture.run(), path));
    ASSERT_EQ(fixture.topLevel(ItemKind::File), std::vector<std::string>{path});
    const ItemHandle file = fixture.results().FirstTopLevelItem();
    EXPECT_EQ(fixture.results().Data(file).first, 1);  // the encoding code
    const auto hits = fixture.hits();
    ASSERT_EQ(hits.size(), 3u);
    EXPECT_EQ(hits[2].position, 18);
    EXPECT_EQ(hits[2].context, "three one");
    EXPECT_EQ(fixture.counters().hits.load(), 3);
    EXPECT_EQ(fixture.counters().files.load(), 1);
    EXPECT_EQ(fixture.runLog().text(),
              path + "; P: 0; L: 3; T: one two one\r\n" +  //
                  path + "; P: 8; L: 3; T: one two one\r\n" +  //
                  path + "; P: 18; L: 3; T: three one\r\n");

    // A stop request ends the listing; nothing more is added.
    fixture.stopFlag() = true;
    EXPECT_TRUE(SearchFileContents(fixture.run(), path));
    EXPECT_EQ(fixture.hits().size(), 3u);
    EXPECT_EQ(fixture.counters().hits.load(), 3);
}

TEST(SearchFileContents, FileThatCannotBeOpened)
{
    TempTree tree;
    const std::string locked = tree.write("locked.txt", "one\n");
    const int holder = ::open(locked.c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_GE(holder, 0);
    ASSERT_EQ(::flock(holder, LOCK_EX | LOCK_NB), 0);

    const struct {
        std::string path;
        int error;
    } rows[] = {{tree.path("missing.txt"), ENOENT}, {locked, EWOULDBLOCK}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.path);
        RunFixture fixture(JobFor(0), "one");
        EXPECT_TRUE(SearchFileContents(fixture.run(), row.path));
        const auto errors = fixture.errors();
        ASSERT_EQ(errors.size(), 1u);
        EXPECT_EQ(errors[0].first, row.path);
        EXPECT_EQ(errors[0].second, std::string("Kann Datei nicht öffnen: ") + SystemErrorText(row.error));
        EXPECT_EQ(fixture.runLog().text(), "Kann Datei nicht öffnen: \r\n");
        EXPECT_EQ(fixture.results().ItemCount(), 1u);
        EXPECT_EQ(fixture.counters().hits.load() + fixture.counters().files.load(), 0);
    }
    ::close(holder);
}

TEST(SearchFileContents, Utf8FileUnderSingleByteCodePage)
{
    // The typed text and the shown context are ISO-8859-1; the file's bytes
    // are UTF-8, and offsets stay byte offsets of the file.
    static const CodePage latin1("ISO-8859-1");
    ASSERT_FALSE(latin1.isUtf8());
    TempTree tree;
    const std::string marked = tree.write("marked.txt",
                                          "\xEF\xBB\xBFgr\xC3\xBC\xC3\x9F"
                                          "e \xC3\x9C"
                                          "ber x\n");
    const std::string detected = tree.write("detected.txt",
                                            "gr\xC3\xBC\xC3\x9F"
                                            "e \xC3\x9C"
                                            "ber x\n");
    for (const std::string& path : {marked, detected}) {
        SCOPED_TRACE(path);
        RunFixture fixture(JobFor(DetectUtf8),
                           "\xFC"
                           "BER",
                           latin1);
        EXPECT_TRUE(SearchFileContents(fixture.run(), path));
        EXPECT_EQ(fixture.results().Data(fixture.results().FirstTopLevelItem()).first, 4);
        const auto hits = fixture.hits();
        ASSERT_EQ(hits.size(), 1u);
        EXPECT_EQ(hits[0].position, path == marked ? 11 : 8);
        EXPECT_EQ(hits[0].length, 5);
        EXPECT_EQ(hits[0].context,
                  "gr\xFC\xDF"
                  "e \xDC"
                  "ber x");
        EXPECT_EQ(hits[0].highlightStart, 6);
        EXPECT_EQ(hits[0].highlightLength, 4);
    }
}

TEST(CompileSearchRegex, ReportsSyntaxErrors)
{
    RunFixture bad(JobFor(Regex), "ab[c");
    EXPECT_FALSE(CompileSearchRegex(bad.run()));
    EXPECT_FALSE(bad.run().searchRegex.has_value());
    const auto errors = bad.errors();
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(bad.results().ItemCount(), 1u);
    const std::string prefix = "Ungültiger regulärer Ausdruck: ";
    EXPECT_EQ(errors[0].first.rfind(prefix, 0), 0u) << errors[0].first;
    EXPECT_GT(errors[0].first.size(), prefix.size());

    RunFixture good(JobFor(Regex), "AB\\W");
    EXPECT_TRUE(CompileSearchRegex(good.run()));
    ASSERT_TRUE(good.run().searchRegex.has_value());
    EXPECT_TRUE(boost::regex_match("ab.", *good.run().searchRegex));  // icase, \W kept
    EXPECT_EQ(good.results().ItemCount(), 0u);
}

}  // namespace tarnwick::test
