// tarnwick-cli replace --diff: git apply of the printed diff gives exactly
// the files the real run gives, and the preview itself changes nothing.
#include "tests/cli/CliProcess.h"
#include "tests/support/TempTree.h"

#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <map>
#include <random>

namespace tarnwick::test {
namespace {

using Strings = std::vector<std::string>;

// Every entry below `root` with its contents (files) and modification time.
std::map<std::string, std::string> snapshot(const std::string& root, bool withTimes)
{
    std::map<std::string, std::string> out;
    for (const std::string& entry : TreeEntries(root)) {
        struct stat st {};
        const std::string path = root + "/" + entry;
        ::lstat(path.c_str(), &st);
        std::string value = S_ISREG(st.st_mode) ? ReadFile(path) : "<dir>";
        if (withTimes) value += "@" + std::to_string(st.st_mtim.tv_sec) + "." + std::to_string(st.st_mtim.tv_nsec);
        out[entry] = value;
    }
    return out;
}

int shell(const std::string& command) { return std::system(command.c_str()); }

// Applies `diff` in `dir` as a user would; git must not take `dir` for part of a repository.
int gitApply(const std::string& dir, const std::string& diff)
{
    const std::string patch = dir + ".diff";
    std::ofstream(patch, std::ios::binary) << diff;
    return shell("cd '" + dir + "' && GIT_CEILING_DIRECTORIES=\"$(dirname \"$PWD\")\" git apply --whitespace=nowarn '" + patch +
                 "' 2>&1");
}

std::string randomText(std::mt19937& random, int pieces)
{
    static const char* const words[] = {"foo", "Foo", "fo", "o", "foofoo", " ", "x", "\n", "\n", "\r\n"};
    std::string text;
    for (int i = 0; i < pieces; ++i) text += words[random() % std::size(words)];
    return text;
}

TEST(CliReplaceDiff, AppliedDiffGivesTheFilesOfTheRealRun)
{
    for (unsigned seed = 1; seed <= 6; ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        std::mt19937 random(seed);
        TempTree tree;
        const Strings names{"a.txt", "foo.txt", "b foo.c", "sub/c.txt", "foodir/d.txt", "foodir/inner/foo e", "keep/z"};
        for (const std::string& name : names) {
            std::string text = randomText(random, static_cast<int>(random() % 40));
            if (random() % 2) text += "\n";  // with and without a final line end
            tree.write("t/" + name, text);
        }
        // Left alone while foo.txt exists; the rename of foo.txt lets the run process it.
        tree.write("t/foo.txt.bak", "old foo\n");
        // Moves only because its folder is renamed.
        tree.write("t/foodir/inner/plain", "no hit here\n");
        // Larger than 1.1 x the split length: streamed through a temporary file.
        tree.write("t/sub/large.txt", randomText(random, 900));

        Strings options{"-r", "--file-names", "--dir-names", "--search-backups", "--split-length", "256"};
        if (seed % 2 == 0) options.insert(options.end(), {"-e", "--split-max-offset", "16"});
        const std::string search = seed % 2 == 0 ? "fo+" : "foo";
        auto run = [&](const std::string& dir, bool diff) {
            Strings args{"replace"};
            if (diff) args.push_back("--diff");
            args.insert(args.end(), options.begin(), options.end());
            args.insert(args.end(), {search, "ba", dir});
            return RunCli(args);
        };

        const auto before = snapshot(tree.path("t"), true);
        const CliOutcome preview = run(tree.path("t"), true);
        EXPECT_EQ(preview.status, 0) << preview.err;
        EXPECT_EQ(preview.err, "");
        EXPECT_EQ(snapshot(tree.path("t"), true), before) << "the preview changed the tree";

        ASSERT_EQ(shell("cp -a '" + tree.path("t") + "' '" + tree.path("applied") + "'"), 0);
        ASSERT_EQ(shell("cp -a '" + tree.path("t") + "' '" + tree.path("real") + "'"), 0);
        ASSERT_EQ(gitApply(tree.path("applied"), preview.out), 0) << preview.out;
        const CliOutcome real = run(tree.path("real"), false);
        EXPECT_EQ(real.status, 0) << real.err;
        EXPECT_EQ(snapshot(tree.path("applied"), false), snapshot(tree.path("real"), false)) << preview.out;
    }
}

TEST(CliReplaceDiff, BinaryFilesAndDocumentsAreNotesGitPassesOver)
{
    TempTree tree;
    tree.write("t/bin", std::string("a\0foo", 5));
    tree.write("t/d.rtf", "{\\rtf1\\ansi first foo line\\par second\\par third foo\\par}");
    tree.write("t/a.txt", "foo");
    // UTF-16 text is replaced as characters; git takes it for binary.
    tree.write("t/u16",
               std::string("\xFF\xFE"
                           "f\0o\0o\0",
                           8));
    const auto before = snapshot(tree.path("t"), true);
    const CliOutcome preview = RunCli({"replace", "--diff", "--no-backup", "foo", "bar", tree.path("t")});
    EXPECT_EQ(preview.status, 0) << preview.err;
    EXPECT_EQ(preview.out,
              "# Binärdatei bin: 1 Ersetzungen, nicht im Diff\n"
              "# Dokument d.rtf: 2 Ersetzungen, nicht im Diff\n"
              "#   - first foo line\n#   + first bar line\n#   - third foo\n#   + third bar\n"
              "# Binärdatei u16: 1 Ersetzungen, nicht im Diff\n"
              "diff --git a/a.txt b/a.txt\n--- a/a.txt\n+++ b/a.txt\n@@ -1 +1 @@\n"
              "-foo\n\\ No newline at end of file\n+bar\n\\ No newline at end of file\n");
    EXPECT_EQ(snapshot(tree.path("t"), true), before);
    ASSERT_EQ(gitApply(tree.path("t"), preview.out), 0);
    EXPECT_EQ(tree.read("t/a.txt"), "bar");

    // Nothing to change: no diff, exit status 1.
    const CliOutcome nothing = RunCli({"replace", "--diff", "absent", "x", tree.path("t")});
    EXPECT_EQ(nothing.status, 1) << nothing.err;
    EXPECT_EQ(nothing.out, "");
}

bool hasGit() { return shell("git --version >/dev/null 2>&1") == 0; }

// A name is a line of the diff only in git's quoting: a binary file whose
// path spells a header and a hunk for a file the run never touches must
// stay one comment line, so git apply cannot be made to change that file.
TEST(CliReplaceDiff, NamesWithLineEndsQuotesAndForeignBytesCannotForgeAPatch)
{
    if (!hasGit()) GTEST_SKIP() << "git is not installed";
    TempTree tree;
    tree.write("t/victim.txt", "keep\n");
    const std::string forged = "t/x\ndiff --git a/victim.txt b/victim.txt\n--- a/victim.txt\n+++ b/victim.txt\n"
                               "@@ -1 +1 @@\n-keep\n+owned\n";
    tree.write(forged, std::string("\0foo\n", 5));
    const Strings textNames{
        "new\nline foo",          "quote\"foo", "back\\foo", "tab\tfoo", std::string("\xFF\xFE foo"), "umlaut \xC3\xA4 foo",
        "dir\x01\x7F/inner foo\r"};
    for (const std::string& name : textNames) tree.write("t/" + name, "one foo\ntwo\n");
    tree.write("t/doc\n+owned foo.rtf", "{\\rtf1\\ansi foo\\par}");
    tree.write("outside.txt", "foo\n");
    ASSERT_EQ(::symlink("../outside.txt", tree.path("t/link\n-x").c_str()), 0);

    const Strings options{"-r", "--file-names", "--no-backup", "foo", "bar"};
    Strings previewArgs{"replace", "--diff"};
    previewArgs.insert(previewArgs.end(), options.begin(), options.end());
    previewArgs.push_back(tree.path("t"));
    const CliOutcome preview = RunCli(previewArgs);
    EXPECT_EQ(preview.status, 0) << preview.err;
    // Each note is one line.
    for (const char* note : {"# Bin\xC3\xA4rdatei ", "# Verkn\xC3\xBCpfung ", "# Dokument "}) {
        const std::size_t at = preview.out.find(note);
        ASSERT_NE(at, std::string::npos) << note << "\n" << preview.out;
        EXPECT_NE(preview.out.find(" Ersetzungen", at), std::string::npos);
        EXPECT_LT(preview.out.find(" Ersetzungen", at), preview.out.find('\n', at)) << preview.out;
    }

    ASSERT_EQ(shell("cp -a '" + tree.path("t") + "' '" + tree.path("applied") + "'"), 0);
    ASSERT_EQ(shell("cp -a '" + tree.path("t") + "' '" + tree.path("real") + "'"), 0);
    ASSERT_EQ(gitApply(tree.path("applied"), preview.out), 0) << preview.out;
    EXPECT_EQ(tree.read("applied/victim.txt"), "keep\n") << preview.out;

    Strings realArgs{"replace"};
    realArgs.insert(realArgs.end(), options.begin(), options.end());
    realArgs.push_back(tree.path("real"));
    const CliOutcome real = RunCli(realArgs);
    EXPECT_EQ(real.status, 0) << real.err;
    // What git cannot patch (the binary file, the document, the link's target)
    // is only noted; everything else must match the real run byte for byte.
    auto patchable = [](std::map<std::string, std::string> files) {
        std::erase_if(files, [](const auto& entry) {
            return entry.first.rfind("x\n", 0) == 0 || entry.first.find(".rtf") != std::string::npos;
        });
        return files;
    };
    const auto applied = patchable(snapshot(tree.path("applied"), false));
    EXPECT_EQ(applied, patchable(snapshot(tree.path("real"), false))) << preview.out;
    EXPECT_EQ(applied.count("new\nline bar"), 1u);
    EXPECT_EQ(applied.count("dir\x01\x7F/inner bar\r"), 1u);
}

}  // namespace
}  // namespace tarnwick::test
