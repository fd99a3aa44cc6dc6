// How long a search takes to end after "Stopp": the worker's own search of a
// tree (or a large file) is stopped at several moments, and the time from
// RequestStop to the completion message is printed, with each thread count.
//
// Usage: stop-latency DIR TEXT
#include "engine/log/RunLog.h"
#include "engine/worker/Notifier.h"
#include "engine/worker/SearchWorker.h"
#include "platform/CodePage.h"
#include "results/ResultList.h"

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <mutex>
#include <optional>
#include <thread>

namespace {

using namespace tarnwick;

class WaitingNotifier final : public Notifier {
public:
    void post(UserMessage message) override
    {
        std::lock_guard lock(m_mutex);
        m_message = message;
        m_arrived.notify_all();
    }
    void showMessage(const std::string&) override {}
    void wait()
    {
        std::unique_lock lock(m_mutex);
        m_arrived.wait(lock, [&] { return m_message.has_value(); });
        m_message.reset();
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_arrived;
    std::optional<UserMessage> m_message;  // guarded by m_mutex
};

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: stop-latency DIR TEXT\n");
        return 2;
    }
    auto results = std::make_shared<ResultList>();
    auto runLog = std::make_shared<RunLog>();
    auto notifier = std::make_shared<WaitingNotifier>();
    SearchWorker worker({results, runLog, notifier, nullptr, nullptr, nullptr}, CodePage::system());
    SearchJob job;
    job.allFileTypes = job.includeSubfolders = job.matchCase = true;
    job.useWord = false;
    std::printf("%-8s %-10s %-12s %s\n", "threads", "stopped at", "took to end", "hits by then");
    for (const unsigned threads : {1u, 0u}) {
        job.searchThreads = threads;
        for (const int delay : {50, 150, 300, 500}) {
            results->ClearResults();
            runLog->clear();
            worker.SetTexts(argv[2], "");
            worker.SetJob(job);
            worker.StartSearch(argv[1]);
            std::this_thread::sleep_for(std::chrono::milliseconds(delay));
            const auto asked = std::chrono::steady_clock::now();
            worker.RequestStop();
            notifier->wait();
            const double took = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - asked).count();
            std::printf("%-8s %4d ms    %7.1f ms   %d\n", threads ? "1" : "default", delay, took, worker.GetHitCount());
        }
    }
    return 0;
}
