// The run values the export reports come from what the worker was last
// handed: "ERSETZEN" belongs to a replace run only, a replace in the marked
// results keeps the search's path and job, the counters map one to one.
#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <mutex>

#include "engine/log/RunLog.h"
#include "engine/worker/Notifier.h"
#include "engine/worker/WorkerState.h"
#include "formjob/RunValues.h"
#include "platform/CodePage.h"
#include "results/ResultList.h"

namespace tarnwick::session {
namespace {

using namespace std::chrono_literals;

class CountingNotifier final : public Notifier {
public:
    void post(UserMessage) override
    {
        std::lock_guard lock(m_mutex);
        ++m_posts;
        m_changed.notify_all();
    }
    void showMessage(const std::string&) override {}
    bool waitForPosts(int count)
    {
        std::unique_lock lock(m_mutex);
        return m_changed.wait_for(lock, 10s, [&] { return m_posts >= count; });
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_changed;
    int m_posts = 0;  // guarded by m_mutex
};

// Counts as a run would, touching no file.
class CountingRunner final : public CommandRunner {
public:
    Expected<void> run(WorkerCommand, WorkerState& state) override
    {
        state.counters.examined = 9;
        state.counters.files = 2;
        state.counters.hits = 5;
        return succeeded();
    }
};

TEST(ExportRunValues, FollowWhatTheWorkerWasLastHanded)
{
    auto notifier = std::make_shared<CountingNotifier>();
    SearchWorker worker({std::make_shared<ResultList>(), std::make_shared<RunLog>(), notifier, nullptr, nullptr, nullptr},
                        CodePage::system(), std::make_shared<CountingRunner>());
    SearchJob job;
    job.matchCase = 1;
    job.searchDirNames = 1;
    job.searchContents = 0;
    worker.SetJob(job);
    worker.SetTexts("suche", "ersatz");
    worker.StartReplace("/daten");
    ASSERT_TRUE(notifier->waitForPosts(1));

    RunValues run = MakeRunValues(worker);
    EXPECT_EQ(run.searchPath, "/daten");
    EXPECT_EQ(run.searchText, "suche");
    EXPECT_EQ(run.replacementText, "ersatz");
    EXPECT_TRUE(run.wasReplaceRun);
    EXPECT_TRUE(run.matchCase);
    EXPECT_FALSE(run.searchContents);
    EXPECT_TRUE(run.searchDirNames);
    EXPECT_FALSE(run.regularExpression);
    EXPECT_EQ(run.filesSearched, 9);
    EXPECT_EQ(run.filesFound, 2);
    EXPECT_EQ(run.entriesFound, 5);

    worker.SetJob(SearchJob{});
    worker.SetTexts("suche", "");
    worker.StartSearch("/daten");
    ASSERT_TRUE(notifier->waitForPosts(2));
    worker.SetTexts("suche", "neu");
    worker.StartSelectedReplace();
    ASSERT_TRUE(notifier->waitForPosts(3));
    run = MakeRunValues(worker);
    EXPECT_FALSE(run.wasReplaceRun);  // a code of its own: no ERSETZEN element
    EXPECT_EQ(run.replacementText, "neu");
    EXPECT_EQ(run.searchPath, "/daten");
    EXPECT_FALSE(run.matchCase);
    EXPECT_EQ(worker.shutdown(), 0);
}

}  // namespace
}  // namespace tarnwick::session
