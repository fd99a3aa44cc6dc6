// A search on several threads gives exactly what a search on one thread
// gives: every item, every run log line, every counter, in the same order.
#include "engine/Messages.h"
#include "engine/walk/SearchWalk.h"
#include "engine/worker/RunSearch.h"
#include "tests/support/RunFixture.h"
#include "tests/support/TempTree.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
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
    void searchDocument(RunContext& run, const std::string& path) override
    {
        {
            std::lock_guard lock(m_mutex);
            threads.insert(std::this_thread::get_id());
        }
        if (path.find(".bad.") != std::string::npos) throw std::runtime_error("broken document");
        const std::string text = ReadFile(path);
        bool first = true;
        for (std::size_t at = text.find("needle"); at != std::string::npos; at = text.find("needle", at + 1)) {
            if (first) run.sink.beginEntry({path, EntryKind::Document, 0});
            first = false;
            HitEvent hit;
            hit.path = path;
            hit.position = static_cast<std::int64_t>(at);
            hit.length = 6;
            hit.context = "doc";
            hit.highlightLength = 6;
            run.sink.hit(hit);
            run.sink.endEntry({1, 0});
        }
        if (!first) run.sink.endEntry({0, 1});
    }
    void replaceDocument(RunContext&, const std::string&) override {}

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
        << fixture.runLog().text() << "--- counters " << fixture.counters().hits.load() << ' ' << fixture.counters().files.load()
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

// Listing the files without hits is as independent of the thread count:
// the same files, errors, log lines and counters in the same order.
TEST(ParallelSearch, FilesWithoutHitsAreTheSameOnAnyNumberOfThreads)
{
    TempTree tree;
    std::mt19937 random(7);
    buildTree(tree, random);
    for (const bool regex : {false, true}) {
        SearchJob job = treeJob(regex);
        job.searchFileNames = job.searchDirNames = false;
        job.filesWithoutHits = true;
        const std::string text = regex ? "ne+dle|st\\w+k" : "needle";
        LineDocuments documents;
        job.useWord = false;
        const std::string one = searchWith(tree, job, 1, text, documents);
        EXPECT_NE(one.find(text::kWithoutHitsRemark), std::string::npos);
        EXPECT_NE(one.find("Kann Datei nicht öffnen"), std::string::npos);
        for (const unsigned threads : {2u, 8u})
            EXPECT_EQ(searchWith(tree, job, threads, text, documents), one) << threads << " threads";
    }
}

// Trees of every shape give the same run on any number of threads: deep and
// wide ones, empty folders, a folder that cannot be listed when the walk gets
// to it, links that loop, and names a shell or a file list would trip over.
TEST(ParallelSearch, EveryShapeOfTreeGivesTheSameRun)
{
    TempTree tree;
    std::string deep = "deep";
    for (int level = 0; level < 48; ++level) {
        tree.write(deep + "/needle" + std::to_string(level) + ".txt", "a needle at level " + std::to_string(level) + "\n");
        deep += "/L" + std::to_string(level % 7);
    }
    for (int i = 0; i < 1500; ++i)
        tree.write("wide/f" + std::to_string(i * 7919 % 1500) + ".txt", i % 3 == 0 ? "needle\n" : "hay\n");
    for (int i = 0; i < 40; ++i) tree.mkdir("empty/e" + std::to_string(i) + (i % 2 ? "/inner/needle" : ""));
    // A folder whose path is longer than the system takes: its parent lists
    // it, but it cannot be opened itself (permissions would not stop root).
    const std::string segment(200, 'd');
    std::string unlisted = "unlisted";
    while (tree.path(unlisted + "/" + segment).size() < PATH_MAX) unlisted += "/" + segment;
    tree.write(unlisted + "/a.txt", "needle");
    tree.write(unlisted + "/z.txt", "needle");
    const int parent = ::open(tree.path(unlisted).c_str(), O_DIRECTORY | O_CLOEXEC);
    ASSERT_GE(parent, 0);
    ASSERT_EQ(::mkdirat(parent, segment.c_str(), 0755), 0);
    // A file whose path is too long too, in a folder whose path is not: it is
    // opened by its name in the folder and searched.
    const std::string longName = segment + ".txt";
    const int longFile = ::openat(parent, longName.c_str(), O_CREAT | O_WRONLY | O_CLOEXEC, 0644);
    ASSERT_GE(longFile, 0);
    ASSERT_EQ(::write(longFile, "needle", 6), 6);
    ::close(longFile);
    tree.write("loops/x.txt", "needle");
    ASSERT_EQ(::symlink("..", tree.path("loops/up").c_str()), 0);
    ASSERT_EQ(::symlink(".", tree.path("loops/here").c_str()), 0);
    ASSERT_EQ(::symlink("self", tree.path("loops/self").c_str()), 0);
    for (const char* name : {"new\nline needle", "-n needle", "semi;colon needle", "back\\slash", "quote\"needle'",
                             "Ünïcödé needle", "\xff\xfe invalid needle", "NEEDLE case", "needle case", "Needle case",
                             " leading blank", "trailing blank ", "*?[needle]"})
        tree.write(std::string("names/") + name, "needle\n");
    tree.write("names/" + std::string(250, 'n') + ".txt", "needle");

    SearchJob job = treeJob(false);
    job.splitLength = 1u << 20;
    std::string one;
    for (const unsigned threads : {1u, 2u, 3u, 8u}) {
        job.searchThreads = threads;
        RunFixture fixture(job, "needle");
        RunSearch(fixture.run(), tree.root());
        const std::string run = dump(fixture);
        if (threads == 1) {
            one = run;
            // The folder is reported between the entries around it.
            const std::size_t a = one.find(segment + "/a.txt|"), unreadable = one.find(segment + "/" + segment + "|"),
                              z = one.find(segment + "/z.txt|");
            ASSERT_NE(unreadable, std::string::npos) << one;
            EXPECT_LT(a, unreadable);
            EXPECT_LT(unreadable, z);
            EXPECT_NE(one.find(std::string("Kann Verzeichnis nicht lesen: ") + std::strerror(ENAMETOOLONG)), std::string::npos);
            EXPECT_NE(one.find("1|" + tree.path(unlisted + "/" + longName) + "|"), std::string::npos);
            EXPECT_EQ(one.find(std::string("Kann Datei nicht öffnen: ") + std::strerror(ENAMETOOLONG)), std::string::npos);
            EXPECT_NE(one.find("loops/self|"), std::string::npos) << "a link to itself is an error item";
            EXPECT_NE(one.find("L4/needle47.txt"), std::string::npos);
            EXPECT_NE(one.find("\xff\xfe invalid needle"), std::string::npos);
        } else {
            EXPECT_EQ(run, one) << threads << " threads";
        }
    }
    // Removed here: the tree's own removal goes by paths, which this one's are too long for.
    EXPECT_EQ(::unlinkat(parent, segment.c_str(), AT_REMOVEDIR), 0);
    EXPECT_EQ(::unlinkat(parent, longName.c_str(), 0), 0);
    ::close(parent);
}

// Sets the stop flag when the K-th hit reaches the list, as a user pressing
// "Stopp" while results come in.
class StoppingSink final : public ForwardingSink {
public:
    StoppingSink(RunSink& inner, std::atomic<bool>& stop, int after) : ForwardingSink(inner), m_stop(stop), m_after(after) {}

protected:
    SinkReply onHit(const HitEvent& hit) override
    {
        const SinkReply reply = ForwardingSink::onHit(hit);
        if (--m_after == 0) m_stop = true;
        return reply;
    }

private:
    std::atomic<bool>& m_stop;
    int m_after;
};

// 200 files of three needles each, and the run log text of their search on one thread.
struct NeedleFiles {
    NeedleFiles()
    {
        for (int i = 0; i < 200; ++i) tree.write("f" + std::to_string(1000 + i) + ".txt", "needle a needle b needle\n");
        SearchJob job = TestJob();
        job.searchThreads = 1;
        RunFixture whole(job, "needle");
        RunSearch(whole.run(), tree.root());
        wholeLog = whole.runLog().text();
    }
    TempTree tree;
    std::string wholeLog;
};

// Searches `root` with the fixture's run, its events passing through `sink` first.
void searchThrough(RunFixture& fixture, RunSink& sink, const std::string& root)
{
    RunContext run(fixture.run().job, fixture.run().searchText, fixture.run().replacementText, fixture.run().codePage, sink,
                   fixture.counters(), fixture.stopFlag(), fixture.run().buffers);
    RunSearch(run, root);
}

// A stop during a parallel run leaves what a run on one thread would have
// shown up to some moment: a prefix of the whole run, whose counters agree
// with its items.
TEST(ParallelSearch, StopLeavesAPrefixOfTheWholeRun)
{
    const NeedleFiles files;
    SearchJob job = TestJob();

    for (const int after : {1, 50, 299}) {
        job.searchThreads = 4;
        RunFixture fixture(job, "needle");
        StoppingSink stopping(fixture.sink(), fixture.stopFlag(), after);
        searchThrough(fixture, stopping, files.tree.root());
        const std::string log = fixture.runLog().text();
        EXPECT_TRUE(files.wholeLog.compare(0, log.size(), log) == 0) << "stopped after " << after;
        EXPECT_GE(fixture.counters().hits.load(), after);
        EXPECT_LT(fixture.counters().hits.load(), 600);
        EXPECT_EQ(static_cast<std::size_t>(fixture.counters().hits.load()), fixture.hits().size());
        EXPECT_EQ(static_cast<std::size_t>(fixture.counters().files.load()), fixture.topLevel(ItemKind::File).size());
    }
}

// Answers Stop from the K-th hit on, as the terminal's printer does once
// the reader of its pipe has gone.
class AnsweringSink final : public ForwardingSink {
public:
    AnsweringSink(RunSink& inner, int after) : ForwardingSink(inner), m_after(after) {}

protected:
    SinkReply onHit(const HitEvent& hit) override
    {
        ForwardingSink::onHit(hit);
        return ++m_hits >= m_after ? SinkReply::Stop : SinkReply::Continue;
    }

private:
    int m_after;
    int m_hits = 0;
};

// A sink's answer Stop ends the run as the user's stop does, on one thread
// and on several: a prefix of the whole run, counted as it was listed,
// and the user's stop flag left alone.
TEST(ParallelSearch, ASinkThatAnswersStopEndsTheRunLikeAStop)
{
    const NeedleFiles files;
    SearchJob job = TestJob();

    for (const int threads : {1, 4}) {
        for (const int after : {1, 50}) {
            job.searchThreads = threads;
            RunFixture fixture(job, "needle");
            AnsweringSink answering(fixture.sink(), after);
            searchThrough(fixture, answering, files.tree.root());
            const std::string log = fixture.runLog().text();
            EXPECT_TRUE(files.wholeLog.compare(0, log.size(), log) == 0) << threads << " threads, stopped after " << after;
            EXPECT_GE(fixture.counters().hits.load(), after);
            EXPECT_LT(fixture.counters().hits.load(), 300) << threads << " threads, stopped after " << after;
            EXPECT_EQ(static_cast<std::size_t>(fixture.counters().hits.load()), fixture.hits().size());
            EXPECT_FALSE(fixture.stopFlag().load());
        }
    }
}

}  // namespace
}  // namespace tarnwick::test
