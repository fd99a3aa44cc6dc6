#pragma once
// What one thread of a run works with: the job, the run strings, the
// worker's counters and stop flag, the sink its results and log lines go to,
// its buffers and its prepared patterns.
//
// Lives for the duration of one command on one thread; a run that searches
// with several threads gives each its own. The job, the run strings and the
// code page are shared read-only; the counters and the stop flag are atomics.
//
// Failures in the engine: nothing that goes wrong with one entry (a file or
// folder that cannot be opened, read, backed up, renamed or written) stops
// the run. Below the entry, calls return an Expected (platform/Expected.h)
// whose Failure says what went wrong, or the platform's bare
// std::error_code where there is no value. A read or memory failure deep
// inside a search or replace is kept where the bytes are read (ChunkStore),
// ends the search of the file, and is returned up to the entry.
// Each becomes the entry's error event in one place, RunReports: returned
// codes through its Report functions (ReportCannotOpen, ReportCommitFailure,
// ...), a failure that ended the entry through ReportEntryFailure. The one
// catch per entry is a safety net for what C++ itself throws
// (ReportEntryException). Only
// a run that cannot start at all (no search text, a start folder that is
// missing or unreadable, a bad expression) is refused before the worker is
// woken, by the caller, through RunStart, and shown with RefuseRun: it never
// ends as a completion.
#include <atomic>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>

#include <boost/regex.hpp>

#include "engine/Messages.h"
#include "engine/job/RunSink.h"
#include "engine/job/SearchJob.h"
#include "engine/match/PatternCache.h"
#include "engine/match/SearchBuffers.h"
#include "platform/Expected.h"

namespace tarnwick {

class ChangePreview;
class ChangedFiles;
class CommitBatch;
class CodePage;
class ResultList;
class RunContext;
class RunJournal;

struct RunCounters {
    std::atomic<std::int32_t> hits{0};  // content hits, as committed to the sink
    std::atomic<std::int32_t> files{0};  // files with content hits plus name hits, likewise
    std::atomic<std::int32_t> examined{0};  // directory entries examined by a search walk
    std::atomic<std::int32_t> admitted{0};  // files and directory names the filters let through
    std::atomic<std::int32_t> errors{0};  // error items passed to the counting sink, as they were committed
    // Hits a replace run found inside archives, PDF and packages and left alone.
    std::atomic<std::int32_t> foundNotReplaced{0};
    // A document was searched with the expression's text taken literally.
    std::atomic<bool> documentsLiteral{false};
};

// Shows the directory or entry being worked on (first status-bar pane).
class StatusDisplay {
public:
    virtual ~StatusDisplay() = default;
    virtual void showStatus(const std::string& text) = 0;
};

// Where files that belong to a word processor go instead of the byte-wise search.
class DocumentEngine {
public:
    virtual ~DocumentEngine() = default;
    virtual void searchDocument(RunContext& run, const std::string& path) = 0;
    virtual void replaceDocument(RunContext& run, const std::string& path) = 0;

    // Replace in marked results works through the connection a search made.
    virtual bool isStarted() const { return false; }
    // Replaces the `length` characters at `position` of the part `part` of
    // `path` (its name as a hit's position gives it, empty for the main
    // text; opened when it is not the current document, after a backup copy
    // when `backup`). Gives the change of length, for the positions of later
    // hits; a hit that was not replaced fails as Refused with the text to show.
    virtual Expected<std::int64_t> replaceMarked(RunContext& /*run*/, const std::string& /*path*/, std::string_view /*part*/,
                                                 std::int64_t /*position*/, std::int64_t /*length*/, bool /*backup*/)
    {
        return refusal(text::kWordCannotStart);
    }
    // Saves and closes the current document of ReplaceMarked. A failure's
    // detail is the text for the hit's item.
    virtual Expected<void> finishMarked() { return succeeded(); }
    // Closes the current document of ReplaceMarked without saving.
    virtual void abandonMarked() {}

    // Called when the worker thread ends. Returns (title, text) of a message
    // to show, or empty texts.
    virtual std::pair<std::string, std::string> quit() { return {}; }
};

class RunContext {
public:
    RunContext(const SearchJob& job, const std::string& searchText, const std::string& replacementText, const CodePage& codePage,
               RunSink& sink, RunCounters& counters, const std::atomic<bool>& stopFlag, SearchBuffers& buffers)
        : job(job), searchText(searchText), replacementText(replacementText), codePage(codePage), sink(sink), counters(counters),
          buffers(buffers), patterns(job, codePage, searchText), m_stopFlag(stopFlag)
    {
    }

    // The user's stop, or a sink that answered Stop (the terminal's reader has gone).
    bool stopRequested() const { return m_stopFlag.load(std::memory_order_relaxed) || sink.stopAnswered(); }
    void showStatus(const std::string& text) const
    {
        if (status) status->showStatus(text);
    }

    const SearchJob& job;
    const std::string& searchText;
    const std::string& replacementText;
    const CodePage& codePage;
    RunSink& sink;
    // The result list itself, for replacing in marked results (which reads
    // the marks); null where no list is kept.
    ResultList* list = nullptr;
    RunCounters& counters;
    SearchBuffers& buffers;
    PatternCache patterns;
    StatusDisplay* status = nullptr;
    DocumentEngine* documents = nullptr;
    // Set for a replace that only previews its changes: they go here, not to disk.
    ChangePreview* preview = nullptr;
    // Where a run that changes files records them for an undo; null: none
    // kept (always for a preview, which changes nothing).
    RunJournal* journal = nullptr;
    // Where a replace run gathers the commits of whole files to sync them
    // together; null: each file is committed at once.
    CommitBatch* commits = nullptr;
    // The files a run that changes contents has changed so far; null where
    // nothing is changed.
    ChangedFiles* changed = nullptr;
    // A replace run reports the hits inside archives, PDF and packages as
    // found, and leaves them out of its count of replacements.
    bool hitsUncounted = false;
    // The search text compiled for names; set by CompileSearchRegex.
    std::optional<boost::regex> searchRegex;

    const std::atomic<bool>& stopFlag() const { return m_stopFlag; }

private:
    const std::atomic<bool>& m_stopFlag;
};

}  // namespace tarnwick
