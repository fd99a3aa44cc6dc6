// Names in the replace preview are quoted exactly as git quotes them, so that
// git apply reads every name back to its bytes.
#include "engine/replace/DiffPath.h"

#include "tests/support/TempTree.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace tarnwick {
namespace {

std::string output(const std::string& command)
{
    std::string out;
    if (FILE* pipe = ::popen(command.c_str(), "r")) {
        char buffer[4096];
        for (std::size_t got; (got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) out.append(buffer, got);
        ::pclose(pipe);
    }
    return out;
}

std::vector<std::string> split(const std::string& text, char end)
{
    std::vector<std::string> parts;
    std::size_t start = 0;
    for (std::size_t at; (at = text.find(end, start)) != std::string::npos; start = at + 1)
        parts.push_back(text.substr(start, at - start));
    return parts;
}

TEST(DiffPath, PlainNamesStayAsTheyAre)
{
    EXPECT_EQ(QuoteDiffPath("a/", "dir/file name.txt"), "a/dir/file name.txt");
    EXPECT_EQ(QuoteDiffPath("", "~!#$%&'()*+,-.:;<=>?@[]^_`{|}"), "~!#$%&'()*+,-.:;<=>?@[]^_`{|}");
    EXPECT_EQ(QuoteDiffPath("b/", "q\"\\\a\b\t\n\v\f\r\x01\x1b\x7f\xc3\xa4\xff"),
              "\"b/q\\\"\\\\\\a\\b\\t\\n\\v\\f\\r\\001\\033\\177\\303\\244\\377\"");
}

// Every byte a file name can hold, one file each, against git's own output.
TEST(DiffPath, QuotesEveryByteAsGitDoes)
{
    if (std::system("git --version >/dev/null 2>&1") != 0) GTEST_SKIP() << "git is not installed";
    const test::TempTree tree;
    std::vector<std::string> names;
    for (int byte = 1; byte < 256; ++byte) {
        if (byte == '/') continue;
        names.push_back("n" + std::string(1, static_cast<char>(byte)) + "e");
        tree.write("repo/" + names.back(), "x\n");
    }
    const std::string git = "cd '" + tree.path("repo") + "' && HOME='" + tree.root() +
        "' GIT_CONFIG_NOSYSTEM=1 GIT_CEILING_DIRECTORIES='" + tree.root() + "' git -c core.quotePath=true ";
    ASSERT_EQ(std::system((git + "init -q . && " + git + "add -A").c_str()), 0);
    // Both listings are in git's order: raw names (-z) and quoted ones.
    const std::vector<std::string> raw = split(output(git + "ls-files -z"), '\0');
    const std::vector<std::string> quoted = split(output(git + "ls-files"), '\n');
    ASSERT_EQ(raw.size(), names.size());
    ASSERT_EQ(quoted.size(), raw.size());
    for (std::size_t i = 0; i < raw.size(); ++i) EXPECT_EQ(QuoteDiffPath("", raw[i]), quoted[i]) << i;

    // A header quotes prefix and name as one path.
    const std::string diff = output(git + "diff --cached --no-color -- 'n\te'");
    EXPECT_EQ(diff.substr(0, diff.find('\n')), "diff --git " + QuoteDiffPath("a/", "n\te") + " " + QuoteDiffPath("b/", "n\te"));
}

}  // namespace
}  // namespace tarnwick
