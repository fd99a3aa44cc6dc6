#include "engine/worker/SearchWorker.h"
#include "engine/job/StoreSink.h"
#include "engine/log/RunLog.h"
#include "engine/replace/DiffPreview.h"
#include "engine/worker/Notifier.h"
#include "engine/worker/WorkerState.h"
#include "platform/SystemError.h"
#include "results/ResultList.h"
#include "tests/support/RunFixture.h"
#include "tests/support/TempTree.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <future>
#include <mutex>

namespace tarnwick::test {
namespace {

using namespace std::chrono_literals;

// Collects what the worker posts and shows, and lets the test wait for it.
class RecordingNotifier final : public Notifier {
public:
    void post(UserMessage message) override
    {
        std::lock_guard lock(m_mutex);
        m_posted.push_back(message);
        m_changed.notify_all();
    }
    void showMessage(const std::string& text) override
    {
        std::lock_guard lock(m_mutex);
        m_shown.push_back(text);
    }
    // The posted messages once there are `count` of them (or after a generous timeout).
    std::vector<UserMessage> waitForPosts(std::size_t count)
    {
        std::unique_lock lock(m_mutex);
        m_changed.wait_for(lock, 10s, [&] { return m_posted.size() >= count; });
        return m_posted;
    }
    std::vector<std::string> shown()
    {
        std::lock_guard lock(m_mutex);
        return m_shown;
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::vector<UserMessage> m_posted;  // guarded by m_mutex
    std::vector<std::string> m_shown;  // guarded by m_mutex
};

// A command that does whatever the test gives it, one step per command.
class ScriptedRunner final : public CommandRunner {
public:
    Expected<void> run(WorkerCommand, WorkerState& state) override
    {
        std::function<Expected<void>(WorkerState&)> step;
        {
            std::lock_guard lock(mutex);
            if (!steps.empty()) {
                step = std::move(steps.front());
                steps.erase(steps.begin());
            }
        }
        return step ? step(state) : succeeded();
    }
    std::mutex mutex;
    std::vector<std::function<Expected<void>(WorkerState&)>> steps;  // guarded by mutex
};

struct WorkerRig {
    explicit WorkerRig(std::shared_ptr<CommandRunner> runner = nullptr, std::chrono::milliseconds wait = 1000ms)
        : worker({results, runLog, notifier, nullptr, nullptr, nullptr}, RunFixture::utF8(), std::move(runner), wait)
    {
    }
    std::shared_ptr<ResultList> results = std::make_shared<ResultList>();
    std::shared_ptr<RunLog> runLog = std::make_shared<RunLog>();
    std::shared_ptr<RecordingNotifier> notifier = std::make_shared<RecordingNotifier>();
    SearchWorker worker;
};

// A one-shot signal between the test and the worker thread.
struct Latch {
    std::promise<void> promise;
    std::shared_future<void> future = promise.get_future().share();
    void set() { promise.set_value(); }
    bool wait(std::chrono::milliseconds limit) { return future.wait_for(limit) == std::future_status::ready; }
};

TEST(SearchWorker, SearchPostsItsCompletionOnceWithTheCountersAndTheNextStartResetsThem)
{
    TempTree tree;
    tree.write("a.txt", "needle needle");
    tree.write("b.txt", "a needle");
    tree.write("c.txt", "nothing");
    WorkerRig rig;
    ASSERT_TRUE(rig.worker.hasThread());
    rig.worker.SetTexts("needle", "");
    rig.worker.SetJob(TestJob());
    rig.worker.StartSearch(tree.root());
    EXPECT_EQ(rig.notifier->waitForPosts(1), std::vector<UserMessage>{UserMessage::SearchDone});
    EXPECT_EQ(rig.worker.GetHitCount(), 3);
    EXPECT_EQ(rig.worker.GetFileCount(), 2);
    EXPECT_EQ(rig.worker.GetExaminedCount(), 3);
    EXPECT_NE(rig.runLog->text().find(tree.path("b.txt") + "; P: 2; L: 6; T: "), std::string::npos);

    rig.worker.StartSearch(tree.path("missing"));
    EXPECT_EQ(rig.notifier->waitForPosts(2).size(), 2u);
    EXPECT_EQ(rig.worker.GetHitCount(), 0);
    EXPECT_EQ(rig.worker.GetFileCount(), 0);
    EXPECT_EQ(rig.worker.GetExaminedCount(), 0);
    EXPECT_EQ(rig.worker.shutdown(), 0);
    EXPECT_EQ(rig.worker.shutdown(), 0);
}

TEST(SearchWorker, StopRequestOrShutdownEndsALongSearch)
{
    auto runner = std::make_shared<ScriptedRunner>();
    auto started = std::make_shared<Latch>();
    auto startedAgain = std::make_shared<Latch>();
    for (const auto& latch : {started, startedAgain})
        runner->steps.push_back([latch](WorkerState& state) {
            state.counters.hits = 7;
            latch->set();
            while (state.stopFlag.load() == 0) std::this_thread::sleep_for(1ms);
            return succeeded();
        });
    WorkerRig rig(runner);
    rig.worker.StartSearch("/nowhere");
    ASSERT_TRUE(started->wait(10s));
    rig.worker.RequestStop();
    EXPECT_EQ(rig.notifier->waitForPosts(1), std::vector<UserMessage>{UserMessage::SearchDone});
    EXPECT_EQ(rig.worker.GetHitCount(), 7);  // the partial count stays

    // Shutdown stops a running command too, so the thread ends in time.
    rig.worker.StartSearch("/nowhere");
    ASSERT_TRUE(startedAgain->wait(10s));
    EXPECT_EQ(rig.worker.shutdown(), 0);
}

// The front ends end a run by what the worker tells: whether a stop cut it
// short (one that comes after the command returned cut nothing), and how
// many error items it made.
TEST(SearchWorker, TheTallySaysWhetherAStopCutTheRunShortAndCountsItsErrors)
{
    auto runner = std::make_shared<ScriptedRunner>();
    runner->steps.push_back([](WorkerState& state) {
        state.counters.admitted = 3;
        return succeeded();
    });
    WorkerRig rig(runner);
    rig.worker.StartSearch("/nowhere");
    ASSERT_EQ(rig.notifier->waitForPosts(1).size(), 1u);
    rig.worker.RequestStop();
    EXPECT_FALSE(rig.worker.lastTally().stopped);
    EXPECT_EQ(rig.worker.lastTally().admitted, 3);

    // An expression that does not compile: one error item, nothing admitted.
    TempTree tree;
    tree.write("a.txt", "Apfel");
    WorkerRig engine;
    SearchJob job = TestJob();
    job.regularExpression = true;
    engine.worker.SetTexts("Apf(el", "");
    engine.worker.SetJob(job);
    engine.worker.StartSearch(tree.root());
    ASSERT_EQ(engine.notifier->waitForPosts(1).size(), 1u);
    const RunTally tally = engine.worker.lastTally();
    EXPECT_EQ(tally.errors, 1);
    EXPECT_EQ(tally.admitted, 0);
    EXPECT_FALSE(tally.stopped);
}

TEST(SearchWorker, ExceptionAbortsOnlyThatCommand)
{
    const std::string prefix =
        "Ein Fehler ist bei der Suche nach Dateien aufgetreten. Der Vorgang kann nicht fortgesetzt werden. ";
    auto runner = std::make_shared<ScriptedRunner>();
    runner->steps.push_back([](WorkerState&) -> Expected<void> { return systemFailure(ErrnoCode(EIO), "disk gone"); });
    runner->steps.push_back(
        [](WorkerState&) -> Expected<void> { return systemFailure(ErrnoCode(ENOMEM), std::string(300, 'm')); });
    runner->steps.push_back([](WorkerState&) -> Expected<void> {
        errno = ENOENT;
        throw std::runtime_error("not ours");
    });
    runner->steps.push_back([](WorkerState& state) {
        state.counters.files = 1;
        return succeeded();
    });
    WorkerRig rig(runner);
    for (std::size_t run = 1; run <= 4; ++run) {
        rig.worker.StartSearch("/nowhere");
        ASSERT_EQ(rig.notifier->waitForPosts(run).size(), run);
    }
    EXPECT_EQ(rig.notifier->waitForPosts(4),
              (std::vector<UserMessage>{UserMessage::RunAborted, UserMessage::RunAborted, UserMessage::RunAborted,
                                        UserMessage::SearchDone}));
    EXPECT_EQ(rig.notifier->shown(),
              (std::vector<std::string>{
                  prefix + "CFileException, disk gone",
                  prefix + "CMemoryException, " + std::string(255, 'm'),
                  prefix + ", " + SystemErrorText(ENOENT),
              }));
    EXPECT_EQ(rig.worker.GetFileCount(), 1);
}

// The desktop program previews and then replaces with one worker: the
// preview is part of the one command it was started with, not of the worker.
TEST(SearchWorker, APreviewWritesNothingAndLeavesTheNextReplaceAnOrdinaryOne)
{
    TempTree tree;
    tree.write("a.txt", "old text\n");
    WorkerRig rig;
    rig.worker.SetTexts("old", "new");
    rig.worker.SetJob(TestJob());
    auto changes = std::make_shared<DiffPreview>(tree.root(), RunFixture::utF8());
    ResultList previewItems;
    RunLog previewLog;
    rig.worker.StartReplace(tree.root(), {changes, std::make_shared<StoreSink>(previewItems, previewLog)});
    ASSERT_EQ(rig.notifier->waitForPosts(1).size(), 1u);
    EXPECT_EQ(tree.read("a.txt"), "old text\n");
    EXPECT_NE(changes->text().find("+new text"), std::string::npos);
    EXPECT_EQ(rig.worker.GetHitCount(), 1);
    EXPECT_GT(previewItems.TopLevelCount(), 0u);
    EXPECT_EQ(rig.results->TopLevelCount(), 0u);

    rig.worker.StartReplace(tree.root());
    ASSERT_EQ(rig.notifier->waitForPosts(2).size(), 2u);
    EXPECT_EQ(tree.read("a.txt"), "new text\n");
    EXPECT_GT(rig.results->TopLevelCount(), 0u);
}

TEST(SearchWorker, ShutdownAbandonsARunnerThatIgnoresTheStop)
{
    auto runner = std::make_shared<ScriptedRunner>();
    auto started = std::make_shared<Latch>();
    auto release = std::make_shared<Latch>();
    auto finished = std::make_shared<Latch>();
    runner->steps.push_back([=](WorkerState&) {
        started->set();
        release->wait(60s);
        finished->set();
        return succeeded();
    });
    {
        WorkerRig rig(runner, 50ms);
        rig.worker.StartSearch("/nowhere");
        ASSERT_TRUE(started->wait(10s));
        const auto before = std::chrono::steady_clock::now();
        EXPECT_EQ(rig.worker.shutdown(), kAbandonedExitCode);
        EXPECT_LT(std::chrono::steady_clock::now() - before, 5s);
        EXPECT_EQ(rig.worker.shutdown(), kAbandonedExitCode);
    }
    // The abandoned thread still owns its state and ends cleanly once released.
    release->set();
    EXPECT_TRUE(finished->wait(10s));
}

}  // namespace
}  // namespace tarnwick::test
