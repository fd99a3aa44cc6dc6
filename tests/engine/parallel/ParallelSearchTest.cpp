// A search on several threads gives exactly what a search on one thread
// gives: every item, every run log line, every counter, in the same order.
#include "engine/Messages.h"
#include "engine/walk/SearchWalk.h"
#include "tests/support/RunFixture.h"
#include "tests/support/TempTree.h"

#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <mutex>
#include <random>
#include <set>
#include <sstream>
#include <stdexcept>
#include <thread>

namespace tarnwick::test {
namespace {

// Stands in for the document component: reports the needles of a document
// (and fails on a document named *.bad.doc), noting the threads it ran on.
class LineDocuments final : public DocumentEngine {
public:
    void SearchDocument(RunContext& run, const std::string& path) override
    {
        {
            std::lock_guard lock(m_mutex);
            threads.insert(std::this_thread::get_id());
        }
        if (path.find(".bad.") != std::string::npos) throw std::runtime_error("broken document");
        const std::string text = ReadFile(path);
        bool first = true;
        for (std::size_t at = text.find("needle"); at != std::string::npos; at = text.find("needle", at + 1)) {
            if (first) run.sink.AddFileItem(path, ItemKind::Document);
            first = false;
            run.sink.LogHitLine(path, static_cast<std::int64_t>(at), 6, "doc");
            run.sink.AddHitItem(static_cast<std::int64_t>(at), 6, "doc", 0, ItemKind::None, 6);
            run.sink.AddCounts(1, 0);
        }
        if (!first) run.sink.AddCounts(0, 1);
    }
    void ReplaceDocument(RunContext&, const std::string&) override {}

    std::set<std::thread::id> threads;

private:
    std::mutex m_mutex;
};

// Everything a run left: every item with every column and value, the run
// log text and the counters.
std::string dump(RunFixture& fixture)
{
    const ResultList& list = fixture.results();
    std::ostringstream out;
    for (ItemHandle top = list.FirstTopLevelItem(); top != kNoItem; top = list.NextSibling(top)) {
        auto write = [&](ItemHandle item) {
            const auto it = list.Item(item);
            out << static_cast<int>(it->kind) << '|' << it->columns[0] << '|' << it->columns[1] << '|' << it->columns[2] << '|'
                << it->highlightStart << '|' << it->highlightEnd << '|' << it->data.first << '|' << it->data.second << '\n';
        };
        write(top);
        for (ItemHandle hit = list.FirstChild(top); hit != kNoItem; hit = list.NextSibling(hit)) write(hit);
    }
    out << "--- log\n"
        << fixture.runLog().Text() << "--- counters " << fixture.counters().hits.load() << ' ' << fixture.counters().files.load()
        << ' ' << fixture.counters().examined.load() << '\n';
    return out.str();
}

// A random tree: nested folders, hits in contents and names, files larger
// than the split length, binary files, documents, a document that fails,
// entries that cannot be opened, a FIFO.
void buildTree(const TempTree& tree, std::mt19937& random)
{
    const char* words[] = {"needle", "Needle", "NEEDLE", "hay", "stack", "needl", "eedle", "\n", "\r\n", " ", "\t"};
    auto text = [&](std::size_t tokens) {
        std::string out;
        for (std::size_t i = 0; i < tokens; ++i) out += words[random() % std::size(words)];
        return out;
    };
    for (int i = 0; i < 120; ++i) {
        std::string dir;
        for (int depth = static_cast<int>(random() % 4); depth > 0; --depth)
            dir += (random() % 3 == 0 ? "Needle_d" : "d") + std::to_string(random() % 3) + "/";
        const int kind = static_cast<int>(random() % 10);
        std::string name = (random() % 4 == 0 ? "needle" : "f") + std::to_string(i);
        if (kind == 0) {
            tree.write(dir + name + ".doc", text(20));
        } else if (kind == 1) {
            tree.write(dir + name + ".bad.doc", "needle");
        } else if (kind == 2) {
            std::string binary = text(30);
            binary[random() % binary.size()] = '\0';
            tree.write(dir + name + ".bin", binary);
        } else if (kind == 3) {
            tree.mkdir(dir);
            ASSERT_EQ(::symlink("/nonexistent/target", tree.path(dir + name + ".lnk").c_str()), 0);
        } else {
            tree.write(dir + name + ".txt", text(kind == 4 ? 400 : random() % 40));
        }
    }
    ASSERT_EQ(::mkfifo(tree.path("needle.fifo").c_str(), 0600), 0);
}

SearchJob treeJob(bool regex)
{
    SearchJob job = TestJob();
    job.includeSubfolders = job.searchFileNames = job.searchDirNames = 1;
    job.regularExpression = regex;
    job.splitLength = 256;
    job.splitMaxOffset = 16;
    job.contextLength = 8;
    job.wordExtensions = "doc";
    return job;
}

std::string searchWith(const TempTree& tree, SearchJob job, unsigned threads, const std::string& text, LineDocuments& documents)
{
    job.searchThreads = threads;
    RunFixture fixture(job, text);
    fixture.run().documents = &documents;
    RunSearch(fixture.run(), tree.root());
    return dump(fixture);
}

TEST(ParallelSearch, AnyNumberOfThreadsGivesTheSameRun)
{
    for (unsigned seed = 1; seed <= 3; ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        TempTree tree;
        std::mt19937 random(seed);
        buildTree(tree, random);
        for (const bool regex : {false, true}) {
            const SearchJob job = treeJob(regex);
            const std::string text = regex ? "ne+dle|st\\w+k" : "needle";
            LineDocuments documents;
            const std::string one = searchWith(tree, job, 1, text, documents);
            EXPECT_NE(one.find("Kann Datei nicht öffnen"), std::string::npos);
            EXPECT_NE(one.find(text::kUnknownError), std::string::npos);
            for (const unsigned threads : {2u, 8u}) {
                EXPECT_EQ(searchWith(tree, job, threads, text, documents), one) << threads << " threads";
            }
            // Documents stay on the walking thread.
            EXPECT_EQ(documents.threads, (std::set<std::thread::id>{std::this_thread::get_id()}));
        }
    }
}

// Sets the stop flag when the K-th hit reaches the list, as a user pressing
// "Stopp" while results come in.
class StoppingSink final : public ForwardingSink {
public:
    StoppingSink(RunSink& inner, std::atomic<bool>& stop, int after) : ForwardingSink(inner), m_stop(stop), m_after(after) {}
    void AddHitItem(std::int64_t position, std::int64_t length, std::string_view context, std::int32_t start, ItemKind kind,
                    std::int64_t highlight) override
    {
        ForwardingSink::AddHitItem(position, length, context, start, kind, highlight);
        if (--m_after == 0) m_stop = true;
    }

private:
    std::atomic<bool>& m_stop;
    int m_after;
};

// A stop during a parallel run leaves what a run on one thread would have
// shown up to some moment: a prefix of the whole run, whose counters agree
// with its items.
TEST(ParallelSearch, StopLeavesAPrefixOfTheWholeRun)
{
    TempTree tree;
    for (int i = 0; i < 200; ++i) tree.write("f" + std::to_string(1000 + i) + ".txt", "needle a needle b needle\n");
    SearchJob job = TestJob();
    job.searchThreads = 1;
    RunFixture whole(job, "needle");
    RunSearch(whole.run(), tree.root());
    const std::string wholeLog = whole.runLog().Text();

    for (const int after : {1, 50, 299}) {
        job.searchThreads = 4;
        RunFixture fixture(job, "needle");
        StoppingSink stopping(fixture.sink(), fixture.stopFlag(), after);
        RunContext run(fixture.run().job, fixture.run().searchText, fixture.run().replacementText, fixture.run().codePage,
                       stopping, fixture.counters(), fixture.stopFlag(), fixture.run().buffers);
        RunSearch(run, tree.root());
        const std::string log = fixture.runLog().Text();
        EXPECT_TRUE(wholeLog.compare(0, log.size(), log) == 0) << "stopped after " << after;
        EXPECT_GE(fixture.counters().hits.load(), after);
        EXPECT_LT(fixture.counters().hits.load(), 600);
        EXPECT_EQ(static_cast<std::size_t>(fixture.counters().hits.load()), fixture.hits().size());
        EXPECT_EQ(static_cast<std::size_t>(fixture.counters().files.load()), fixture.topLevel(ItemKind::File).size());
    }
}

}  // namespace
}  // namespace tarnwick::test
