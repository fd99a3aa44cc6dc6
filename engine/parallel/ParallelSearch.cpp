#include "engine/parallel/ParallelSearch.h"

#include "engine/Messages.h"
#include "engine/content/ContentSearch.h"
#include "engine/job/RunContext.h"
#include "engine/job/RunReports.h"
#include "engine/parallel/AdaptiveMutex.h"
#include "engine/parallel/OrderedOutcomes.h"
#include "engine/parallel/SlotWriter.h"
#include "engine/walk/EntryFilter.h"
#include "engine/walk/InsideSearch.h"
#include "engine/walk/NameSearch.h"
#include "engine/walk/SearchWalk.h"
#include "platform/OpenFolder.h"
#include "platform/ThreadStart.h"

#include <sched.h>

#include <algorithm>
#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

namespace tarnwick {
namespace {

// A file's memory beyond this is given back after the file, so that one
// large file does not keep every thread's buffers large.
constexpr std::size_t kKeptBufferBytes = 64u << 20;

// One thread of the pool with everything it searches with.
struct PoolThread {
    PoolThread(RunContext& walk, OrderedOutcomes& outcomes)
        : writer(outcomes), filter(walk.job),
          run(walk.job, walk.searchText, walk.replacementText, walk.codePage, writer, walk.counters, walk.stopFlag(), buffers)
    {
        run.searchRegex = walk.searchRegex;
    }
    SlotWriter writer;
    EntryFilter filter;  // for the files inside archives
    SearchBuffers buffers;
    RunContext run;
    // The files come folder by folder in walk order.
    OpenFolder folder;
    std::thread thread;
};

// Hands the files the walk admits to the threads, oldest first, so that the
// file whose turn it is to be passed on is always being searched.
class ContentSearchPool final : public FileDispatch {
public:
    ContentSearchPool(RunContext& walk, OrderedOutcomes& outcomes, SlotWriter& walkWriter, unsigned threads)
        : m_outcomes(outcomes), m_walkWriter(walkWriter)
    {
        for (unsigned i = 0; i < threads; ++i) {
            auto member = std::make_unique<PoolThread>(walk, outcomes);
            try {
                member->thread = std::thread([this, m = member.get()] { serve(*m); });
            } catch (const std::system_error&) {
                break;  // fewer threads than asked for, or none: the walk searches itself
            }
            m_threads.push_back(std::move(member));
        }
    }

    ~ContentSearchPool() override { finish(); }

    bool dispatch(const DirEntry& entry, const std::string& path) override
    {
        if (m_threads.empty()) return false;
        // What the walk produced so far comes before this file.
        m_walkWriter.closeSlot();
        OutcomeSlot* slot = m_outcomes.open();
        slot->path.assign(path);
        slot->nameOffset = path.size() - entry.name.size();
        {
            std::lock_guard lock(m_mutex);
            m_tasks.push_back(slot);
        }
        m_wake.notify_one();
        return true;
    }

    // No more files: waits until the threads have searched every one.
    void finish()
    {
        {
            std::lock_guard lock(m_mutex);
            m_finished = true;
        }
        m_wake.notify_all();
        for (auto& member : m_threads)
            if (member->thread.joinable()) member->thread.join();
    }

private:
    void serve(PoolThread& self)
    {
        RunThreadStartHook();
        RunContext& run = self.run;
        for (;;) {
            OutcomeSlot* slot;
            {
                std::unique_lock lock(m_mutex);
                m_wake.wait(lock, [&] { return !m_tasks.empty() || m_finished; });
                if (m_tasks.empty()) return;
                slot = m_tasks.front();
                m_tasks.pop_front();
            }
            self.writer.setSlot(slot);
            if (!run.stopRequested()) {
                const std::string& path = slot->path;
                try {
                    const std::size_t nameOffset = slot->nameOffset;
                    const int folderFd = self.folder.descriptorOf(std::string_view(path).substr(0, nameOffset));
                    const Expected<void> searched =
                        SearchFileOrInside(run, self.filter, path, {folderFd, nameOffset, &self.folder});
                    if (!searched)
                        ReportEntryFailure(run, path, searched.error());
                    else if (run.job.searchFileNames)
                        CheckFileName(run, path, std::string_view(path).substr(slot->nameOffset));
                } catch (...) {
                    // What C++ itself throws (memory of a standard container, ...).
                    ReportEntryException(run, path, text::kUnknownError);
                }
                self.writer.endEntry();
            }
            self.writer.closeSlot();
            self.buffers.trim(kKeptBufferBytes);
        }
    }

    OrderedOutcomes& m_outcomes;
    SlotWriter& m_walkWriter;
    std::vector<std::unique_ptr<PoolThread>> m_threads;
    AdaptiveMutex m_mutex;
    std::condition_variable_any m_wake;
    std::deque<OutcomeSlot*> m_tasks;  // guarded by m_mutex
    bool m_finished = false;  // guarded by m_mutex
};

}  // namespace

unsigned ContentSearchThreads(const SearchJob& job)
{
    // More threads than this only add switching; a count from elsewhere than
    // the checked front ends is held to it.
    constexpr unsigned kMostThreads = 256;
    if (job.searchThreads > 0) return std::min(job.searchThreads, kMostThreads);
    cpu_set_t set;
    if (::sched_getaffinity(0, sizeof set, &set) == 0) {
        const int count = CPU_COUNT(&set);
        if (count > 0) return static_cast<unsigned>(count);
    }
    const unsigned cores = std::thread::hardware_concurrency();
    return cores > 0 ? cores : 1;
}

void SearchInParallel(RunContext& run, const std::string& startPath, unsigned threads)
{
    OrderedOutcomes outcomes(run.sink, run.stopFlag());
    SlotWriter walkWriter(outcomes);
    RunContext walk(run.job, run.searchText, run.replacementText, run.codePage, walkWriter, run.counters, run.stopFlag(),
                    run.buffers);
    walk.list = run.list;
    walk.status = run.status;
    walk.documents = run.documents;
    walk.searchRegex = run.searchRegex;
    {
        ContentSearchPool pool(walk, outcomes, walkWriter, threads);
        SearchDirectory(walk, startPath, &pool);
        walkWriter.closeSlot();
        pool.finish();
    }
    outcomes.drain();
}

}  // namespace tarnwick
