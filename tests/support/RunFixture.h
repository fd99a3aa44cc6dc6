#pragma once
// Everything a run needs, owned in one place, for tests that call engine
// functions directly on the test's thread.
#include <atomic>
#include <memory>
#include <string>
#include <vector>

#include "engine/job/RunContext.h"
#include "engine/job/StoreSink.h"
#include "engine/log/RunLog.h"
#include "platform/CodePage.h"
#include "results/ResultList.h"

namespace tarnwick::test {

// A job for tests: every file type, no date range.
SearchJob TestJob();

// One hit as the result list holds it.
struct HitRecord {
    std::string file;
    std::int64_t position = 0;
    std::int64_t length = 0;
    std::string context;
    std::int32_t highlightStart = 0;
    std::int32_t highlightLength = 0;
};

class RunFixture {
public:
    // `searchText` is prepared (lowered for a plain search without case)
    // as the front end would do it.
    RunFixture(const SearchJob& job, const std::string& typedSearchText, const CodePage& codePage = utF8());

    RunContext& run() { return *m_run; }
    ResultList& results() { return m_results; }
    RunLog& runLog() { return m_runLog; }
    RunCounters& counters() { return m_counters; }
    // The sink of the run: the result list, the run log and the counters.
    RunSink& sink() { return m_sink; }
    std::atomic<bool>& stopFlag() { return m_stop; }

    // All hits, in list order.
    std::vector<HitRecord> hits() const;
    // (path, remark) of every error item.
    std::vector<std::pair<std::string, std::string>> errors() const;
    // The path of every top-level item with `kind`.
    std::vector<std::string> topLevel(ItemKind kind) const;

    static const CodePage& utF8();

private:
    SearchJob m_job;
    std::string m_searchText;
    std::string m_replacement;
    ResultList m_results;
    RunLog m_runLog;
    RunCounters m_counters;
    StoreSink m_store{m_results, m_runLog};
    CountingSink m_sink{m_store, m_counters};
    std::atomic<bool> m_stop{false};
    SearchBuffers m_buffers;
    std::unique_ptr<RunContext> m_run;
};

}  // namespace tarnwick::test
