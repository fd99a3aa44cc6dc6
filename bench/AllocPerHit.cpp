// alloc-per-hit: counts heap allocations while the engine searches files with
// many hits, to show that hits and files cost no allocation once the run's
// buffers have grown. The result list and the run log still grow by
// doubling, which costs a few allocations per run, not per hit.
//
// Usage: alloc-per-hit [WORK_DIR]   (default: $TMPDIR or /tmp)
#include "engine/content/ContentSearch.h"
#include "engine/job/RunContext.h"
#include "engine/job/StoreSink.h"
#include "engine/log/RunLog.h"
#include "engine/match/SearchPattern.h"
#include "platform/CodePage.h"
#include "results/ResultList.h"

#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <limits>
#include <memory>
#include <new>
#include <string>
#include <vector>

// Every allocation of the process goes through these, operator new included
// (libstdc++ implements it with malloc).
extern "C" {
void* __libc_malloc(std::size_t);
void* __libc_calloc(std::size_t, std::size_t);
void* __libc_realloc(void*, std::size_t);
void* __libc_memalign(std::size_t, std::size_t);
void __libc_free(void*);
}

namespace {
std::atomic<std::uint64_t> g_allocations{0};
void count() { g_allocations.fetch_add(1, std::memory_order_relaxed); }
}  // namespace

extern "C" {
void* malloc(std::size_t n)
{
    count();
    return __libc_malloc(n);
}
void* calloc(std::size_t n, std::size_t size)
{
    count();
    return __libc_calloc(n, size);
}
void* realloc(void* p, std::size_t n)
{
    count();
    return __libc_realloc(p, n);
}
void* aligned_alloc(std::size_t alignment, std::size_t n)
{
    count();
    return __libc_memalign(alignment, n);
}
void* memalign(std::size_t alignment, std::size_t n)
{
    count();
    return __libc_memalign(alignment, n);
}
int posix_memalign(void** out, std::size_t alignment, std::size_t n)
{
    count();
    *out = __libc_memalign(alignment, n);
    return *out ? 0 : ENOMEM;
}
void free(void* p) { __libc_free(p); }
}

namespace {

using namespace tarnwick;

struct Case {
    const char* name;
    bool regex, matchCase, wholeWords;
    const char* text;
    std::uint32_t splitLength;
};

// Everything one run needs, as the worker owns it.
struct Run {
    Run(const SearchJob& j, const std::string& typed, const CodePage& page)
        : job(j), searchText(PrepareSearchText(typed, job, page)),
          context(job, searchText, replacement, page, sink, counters, stop, buffers)
    {
        if (job.regularExpression) CompileSearchRegex(context);
    }
    SearchJob job;
    std::string searchText, replacement;
    ResultList results;
    RunLog runLog;
    RunCounters counters;
    StoreSink store{results, runLog};
    CountingSink sink{store, counters};
    std::atomic<bool> stop{false};
    SearchBuffers buffers;
    RunContext context;
};

SearchJob jobFor(const Case& c)
{
    SearchJob job = DefaultSearchJob(0);
    job.allFileTypes = true;
    job.regularExpression = c.regex;
    job.matchCase = c.matchCase;
    job.wholeWords = c.wholeWords;
    job.splitLength = c.splitLength;
    return job;
}

struct Pass {
    std::uint64_t allocations = 0;
    std::int64_t hits = 0;
};

Pass searchFiles(Run& run, const std::vector<std::string>& files)
{
    const std::int32_t before = run.counters.hits.load();
    const std::uint64_t start = g_allocations.load();
    for (const std::string& file : files) static_cast<void>(SearchFileContents(run.context, file));
    return {g_allocations.load() - start, run.counters.hits.load() - before};
}

void writeFile(const std::string& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

}  // namespace

int main(int argc, char** argv)
{
    const char* tmp = std::getenv("TMPDIR");
    std::string base = argc > 1 ? argv[1] : (tmp && *tmp ? tmp : "/tmp");
    std::string dir = base + "/alloc-per-hit-XXXXXX";
    if (!::mkdtemp(dir.data())) {
        std::perror("mkdtemp");
        return 1;
    }

    // 100,000 lines with two hits each (about 5 MB), and 2,000 small files
    // with three hits each whose paths are longer than any short-string buffer.
    std::string text;
    for (int i = 0; i < 100'000; ++i) text += "line " + std::to_string(i) + ": a needle sits here, (needle) again\n";
    const std::string big = dir + "/big.txt";
    writeFile(big, text);
    std::vector<std::string> small;
    for (int i = 0; i < 2'000; ++i) {
        small.push_back(dir + "/a-rather-long-directory-name-like-real-ones/file-" + std::to_string(i) + ".txt");
        std::filesystem::create_directories(std::filesystem::path(small.back()).parent_path());
        writeFile(small.back(), "needle one\nneedle two\nand needle three\n");
    }

    const Case cases[] = {
        {"plain, case-insensitive", false, false, false, "NEEDLE", 52'428'800},
        {"plain, match case", false, true, false, "needle", 52'428'800},
        {"plain, whole words", false, true, true, "needle", 52'428'800},
        {"regex ne+dle", true, false, false, "ne+dle", 52'428'800},
        {"plain, split length 64 KiB", false, false, false, "needle", 65'536},
        {"regex, split length 64 KiB", true, false, false, "ne+dle", 65'536},
    };
    const CodePage& page = CodePage::system();
    std::printf("%-28s %12s %14s %14s %14s\n", "case", "hits/pass", "1st pass", "2nd pass", "per file");
    std::printf("%-28s %12s %14s %14s %14s\n", "", "", "allocs/hit", "allocs/hit", "allocs/file");
    for (const Case& c : cases) {
        Run run(jobFor(c), c.text, page);
        // The first pass grows the buffers; the second shows the steady state,
        // where only the result list and the run log still grow now and then.
        const Pass first = searchFiles(run, {big});
        const Pass second = searchFiles(run, {big});
        searchFiles(run, small);
        const Pass files = searchFiles(run, small);
        std::printf("%-28s %12lld %14.6f %14.6f %14.3f\n", c.name, static_cast<long long>(second.hits),
                    static_cast<double>(first.allocations) / static_cast<double>(first.hits),
                    static_cast<double>(second.allocations) / static_cast<double>(second.hits),
                    static_cast<double>(files.allocations) / static_cast<double>(small.size()));
        std::printf("%-28s %12s %14llu %14llu %14llu   (allocations)\n", "", "",
                    static_cast<unsigned long long>(first.allocations), static_cast<unsigned long long>(second.allocations),
                    static_cast<unsigned long long>(files.allocations));
    }
    std::filesystem::remove_all(dir);
    return 0;
}
