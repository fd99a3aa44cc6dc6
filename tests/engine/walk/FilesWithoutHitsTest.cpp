// A search that lists the files without hits: which files it lists, in
// which order, and what the list, the run log and the counters then hold.
#include "engine/worker/RunSearch.h"
#include "tests/support/RunFixture.h"
#include "tests/support/TempTree.h"

#include <unistd.h>

#include <gtest/gtest.h>

namespace tarnwick::test {
namespace {

// Every top-level item as "kind|path relative to root|remark", and every hit.
std::vector<std::string> listing(RunFixture& fixture, const std::string& root)
{
    std::vector<std::string> out;
    const ResultList& list = fixture.results();
    for (ItemHandle top = list.FirstTopLevelItem(); top != kNoItem; top = list.NextSibling(top)) {
        const auto item = list.Item(top);
        std::string path = item->columns[0];
        if (path.rfind(root + "/", 0) == 0) path.erase(0, root.size() + 1);
        out.push_back(std::to_string(static_cast<int>(item->kind)) + "|" + path + "|" + item->columns[2]);
        for (ItemHandle hit = list.FirstChild(top); hit != kNoItem; hit = list.NextSibling(hit)) out.push_back("hit");
    }
    return out;
}

SearchJob withoutHitsJob()
{
    SearchJob job = TestJob();
    job.includeSubfolders = true;
    job.filesWithoutHits = true;
    job.splitLength = 256;
    job.splitMaxOffset = 16;
    return job;
}

TEST(FilesWithoutHits, ListsInWalkOrderOnlyFilesSearchedToTheirEndWithoutAHit)
{
    TempTree tree;
    tree.write("a.txt", "a NEEDLE in upper case");
    tree.write("B.txt", "hay only");
    tree.write("c/d.txt", "hay");
    tree.write("c/e.txt", "needle");
    tree.write("empty.txt", "");
    // Read in chunks: a hit in the last chunk only, and a hit across two chunks.
    tree.write("split-last.txt", std::string(1000, 'x') + "needle");
    tree.write("split-across.txt", std::string(253, 'x') + "needle" + std::string(700, 'y'));
    tree.write("split-none.txt", std::string(1000, 'x'));
    ASSERT_EQ(::symlink("/nonexistent/target", tree.path("gone.txt").c_str()), 0);

    for (const unsigned threads : {1u, 3u}) {
        SCOPED_TRACE(std::to_string(threads) + " threads");
        SearchJob job = withoutHitsJob();
        job.searchThreads = threads;
        RunFixture fixture(job, "needle");
        RunSearch(fixture.run(), tree.root());

        const std::string file = std::to_string(static_cast<int>(ItemKind::File));
        const std::string error = std::to_string(static_cast<int>(ItemKind::Error));
        const auto items = listing(fixture, tree.root());
        ASSERT_EQ(items.size(), 5u);
        EXPECT_EQ(items[0], file + "|B.txt|Ohne Treffer");
        EXPECT_EQ(items[1], file + "|c/d.txt|Ohne Treffer");
        EXPECT_EQ(items[2], file + "|empty.txt|Ohne Treffer");
        EXPECT_EQ(items[3].substr(0, error.size() + 10), error + "|gone.txt|");
        EXPECT_EQ(items[4], file + "|split-none.txt|Ohne Treffer");

        EXPECT_EQ(fixture.counters().hits.load(), 0);
        EXPECT_EQ(fixture.counters().files.load(), 4);
        // The run log names each listed file alone on its line.
        const std::string& log = fixture.runLog().text();
        EXPECT_NE(log.find(tree.path("B.txt") + "\r\n" + tree.path("c/d.txt") + "\r\n" + tree.path("empty.txt") + "\r\n"),
                  std::string::npos)
            << log;
        EXPECT_EQ(log.find("; P: "), std::string::npos) << log;
    }
}

}  // namespace
}  // namespace tarnwick::test
