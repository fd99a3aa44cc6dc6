// The crash-point shim on a probe program with a known sequence of calls:
// what it counts, and that a kill leaves exactly the calls before the crash
// point done, also when threads make the calls.
#include <signal.h>

#include <gtest/gtest.h>

#include <filesystem>

#include "crashpoints/driver/ChildRun.h"
#include "crashpoints/driver/CrashPoints.h"
#include "tests/support/TempTree.h"

namespace tarnwick::crashpoints {
namespace {

using test::ReadFile;
using test::TempTree;

ChildOutcome runProbe(const TempTree& tree, const std::string& mode, std::uint64_t crashAt = 0, Moment moment = Moment::Before)
{
    std::filesystem::create_directories(tree.path("work"));
    std::filesystem::create_directories(tree.path("io"));
    ChildRequest request;
    request.program = TARNWICK_CRASHPROBE_PATH;
    request.arguments = {mode, tree.path("work")};
    request.environment = {"LD_PRELOAD=" TARNWICK_CRASHSHIM_PATH, "TARNWICK_CRASHPOINT_LOG=" + tree.path("calls.log"),
                           "CRASHPROBE_EARLY=" + tree.path("work/early")};
    if (crashAt > 0) {
        request.environment.push_back("TARNWICK_CRASHPOINT_AT=" + std::to_string(crashAt));
        request.environment.push_back(std::string("TARNWICK_CRASHPOINT_WHEN=") + MomentName(moment));
    }
    return RunChild(request, tree.path("io"));
}

std::vector<std::string> callNames(const std::vector<LoggedCall>& calls)
{
    std::vector<std::string> names;
    for (const LoggedCall& call : calls) names.push_back(call.call);
    return names;
}

// The temporary files of the probe's sequence left in `folder`.
std::vector<std::string> temporaryFiles(const std::string& folder)
{
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        if (entry.path().extension() == ".tmp") names.push_back(entry.path().filename());
    return names;
}

TEST(CrashShim, LogsEveryCountedCallInOrderAndNothingElse)
{
    TempTree tree;
    const ChildOutcome outcome = runProbe(tree, "sequence");
    ASSERT_EQ(outcome.exitStatus, 0) << outcome.err;
    EXPECT_EQ(outcome.out, "probe\n");
    const std::vector<LoggedCall> calls = ReadCallLog(tree.path("calls.log"));
    // Not stdout, /dev/null, a pipe, a read-only open, nor what ran before main.
    EXPECT_EQ(callNames(calls),
              (std::vector<std::string>{"open", "write", "fsync", "mkostemps", "pwrite", "rename", "mkdir", "open", "write",
                                        "linkat", "unlink", "rmdir"}));
    for (std::size_t i = 0; i < calls.size(); ++i) EXPECT_EQ(calls[i].index, i + 1);
    EXPECT_TRUE(std::filesystem::exists(tree.path("work/early")));
    ASSERT_EQ(calls.size(), 12u);
    EXPECT_EQ(calls[0].arguments, tree.path("work/a") + ", O_WRONLY|O_CREAT|O_TRUNC");
    EXPECT_EQ(calls[7].arguments, tree.path("work/sub") + ", O_WRONLY|O_TMPFILE");
    EXPECT_NE(calls[9].arguments.find(tree.path("work/sub/b")), std::string::npos) << calls[9].arguments;
    EXPECT_EQ(calls[5].result, "0");
}

TEST(CrashShim, KillsRightBeforeTheChosenCall)
{
    TempTree tree;
    const ChildOutcome outcome = runProbe(tree, "sequence", 6, Moment::Before);
    EXPECT_EQ(outcome.signal, SIGKILL);
    // The rename (6) did not happen: the file is old, the temporary file holds the new bytes.
    EXPECT_EQ(ReadFile(tree.path("work/a")), "old");
    const std::vector<std::string> temporary = temporaryFiles(tree.path("work"));
    ASSERT_EQ(temporary.size(), 1u);
    EXPECT_EQ(ReadFile(tree.path("work/" + temporary.front())), "new");
    const std::vector<LoggedCall> calls = ReadCallLog(tree.path("calls.log"));
    ASSERT_EQ(calls.size(), 6u);
    EXPECT_EQ(calls.back().call, "rename");
    EXPECT_EQ(calls.back().result, "not run: killed before it");
}

TEST(CrashShim, KillsRightAfterTheChosenCall)
{
    TempTree tree;
    const ChildOutcome outcome = runProbe(tree, "sequence", 6, Moment::After);
    EXPECT_EQ(outcome.signal, SIGKILL);
    EXPECT_EQ(ReadFile(tree.path("work/a")), "new");
    EXPECT_TRUE(temporaryFiles(tree.path("work")).empty());
    EXPECT_FALSE(std::filesystem::exists(tree.path("work/sub")));
}

TEST(CrashShim, CrashPointBeyondTheLastCallLetsTheProgramEnd)
{
    TempTree tree;
    const ChildOutcome outcome = runProbe(tree, "sequence", 13, Moment::Before);
    EXPECT_EQ(outcome.exitStatus, 0);
    EXPECT_EQ(ReadCallLog(tree.path("calls.log")).size(), 12u);
}

// Two threads write one byte per call: the files hold exactly one byte per
// write numbered before the crash point (and the one at it, after).
TEST(CrashShim, ThreadsStopAtExactlyTheCrashPoint)
{
    for (const std::uint64_t k : {3u, 101u, 202u, 303u, 402u}) {
        for (const Moment moment : {Moment::Before, Moment::After}) {
            TempTree tree;
            const ChildOutcome outcome = runProbe(tree, "threads", k, moment);
            EXPECT_EQ(outcome.signal, SIGKILL) << k;
            const std::size_t written = ReadFile(tree.path("work/x")).size() + ReadFile(tree.path("work/y")).size();
            EXPECT_EQ(written, moment == Moment::Before ? k - 3 : k - 2) << "K=" << k << " " << MomentName(moment);
        }
    }
}

}  // namespace
}  // namespace tarnwick::crashpoints
