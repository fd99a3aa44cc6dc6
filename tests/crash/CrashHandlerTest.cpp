// The fatal-signal handler end to end: a child process installs it with a
// stand-in reporter (a shell script that records what it was given), then
// crashes. The child must die by its own signal, leave the stack trace, and
// still be alive while the reporter reads its /proc entry.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <sstream>
#include <stdexcept>
#include <thread>
#include <vector>

#include "crash/CrashHandler.h"
#include "crash/ReportFiles.h"
#include "crash/ReporterArguments.h"
#include "platform/ThreadStart.h"
#include "tests/support/TempTree.h"

namespace tarnwick::crash {
namespace {

constexpr char kRecordingReporter[] = R"(#!/bin/sh
printf '%s\n' "$@" > "$TMPDIR/reporter-args"
cat "/proc/$2/maps" > "$TMPDIR/reporter-maps"
ls -l /proc/$$/fd > "$TMPDIR/reporter-fds"
)";

std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

int Recurse(unsigned depth)
{
    if (depth == 0) return 0;
    volatile char frame[4096];
    frame[0] = static_cast<char>(depth);
    return Recurse(depth - 1) + frame[0];
}

class CrashHandlerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        const char* previous = std::getenv("TMPDIR");
        if (previous) m_previousTmpdir = previous;
        m_hadTmpdir = previous != nullptr;
        // The trace and everything the reporter writes land in the test's own directory.
        ::setenv("TMPDIR", tree.root().c_str(), 1);
        reporter = tree.write("reporter.sh", kRecordingReporter);
        ::chmod(reporter.c_str(), 0755);
    }

    void TearDown() override
    {
        if (m_hadTmpdir)
            ::setenv("TMPDIR", m_previousTmpdir.c_str(), 1);
        else
            ::unsetenv("TMPDIR");
    }

    // Runs `crash` in a child with the handler installed; the child's wait status.
    int crashInChild(const std::string& reporterPath, const std::function<void()>& crash)
    {
        const pid_t child = ::fork();
        if (child == 0) {
            // No core files from the test's own crashes.
            const rlimit noCore{0, 0};
            ::setrlimit(RLIMIT_CORE, &noCore);
            const CrashHandler handler({reporterPath, "contact", "subject"});
            if (!handler.installed()) ::_exit(90);
            crash();
            ::_exit(91);
        }
        int status = 0;
        ::waitpid(child, &status, 0);
        m_childPid = child;
        return status;
    }

    // The one trace file the handler made: "<base>-<16 hex digits>.trace" in
    // the temporary directory; empty when there is none or more than one.
    std::string tracePath() const
    {
        const std::string prefix = ProgramBaseName(RunningProgramPath()) + "-";
        std::vector<std::string> found;
        for (const auto& entry : std::filesystem::directory_iterator(tree.root())) {
            const std::string name = entry.path().filename().string();
            if (name.starts_with(prefix) && name.ends_with(".trace") && name.size() == prefix.size() + 16 + 6)
                found.push_back(entry.path().string());
        }
        return found.size() == 1 ? found[0] : std::string();
    }

    test::TempTree tree;
    std::string reporter;
    pid_t m_childPid = 0;

private:
    std::string m_previousTmpdir;
    bool m_hadTmpdir = false;
};

TEST_F(CrashHandlerTest, NullWriteStartsTheReporterWhileTheProcessWaitsAndEndsBySignal)
{
    const std::string held = tree.write("held.txt", "open in the crashed process");
    const int status = crashInChild(reporter, [&] {
        // A descriptor the crashed program holds must not live on in the reporter.
        ::open(held.c_str(), O_RDONLY);
        volatile int* volatile wild = reinterpret_cast<int*>(0x10);
        *wild = 1;
    });
    ASSERT_TRUE(WIFSIGNALED(status)) << "exit status " << WEXITSTATUS(status);
    EXPECT_EQ(WTERMSIG(status), SIGSEGV);

    const std::string trace = test::ReadFile(tracePath());
    EXPECT_NE(trace.find("Signal: 11 (SIGSEGV)\n"), std::string::npos) << trace;
    EXPECT_NE(trace.find("Code: 1 (SEGV_MAPERR)\n"), std::string::npos) << trace;
    EXPECT_NE(trace.find("Address: 0x10\n"), std::string::npos) << trace;
    EXPECT_NE(trace.find("Process: " + std::to_string(m_childPid) + "\n"), std::string::npos) << trace;
    const std::size_t stack = trace.find("\nStack:\n");
    ASSERT_NE(stack, std::string::npos) << trace;
    EXPECT_NE(trace.find("test_crash", stack), std::string::npos) << "frames name the program:\n" << trace;

    const std::vector<std::string> args = Lines(tree.read("reporter-args"));
    std::vector<const char*> argv{"tarnwick-crashreport"};
    for (const std::string& arg : args) argv.push_back(arg.c_str());
    const std::optional<ReporterArguments> parsed = ParseReporterArguments(static_cast<int>(argv.size()), argv.data());
    ASSERT_TRUE(parsed) << tree.read("reporter-args");
    EXPECT_EQ(parsed->pid, m_childPid);
    EXPECT_EQ(parsed->signal, SIGSEGV);
    EXPECT_EQ(parsed->code, SEGV_MAPERR);
    EXPECT_EQ(parsed->address, 0x10u);
    EXPECT_EQ(parsed->tracePath, tracePath());
    EXPECT_EQ(parsed->programPath, RunningProgramPath());
    EXPECT_EQ(parsed->readyFd, 3);

    // Read while the crashed process still existed.
    EXPECT_NE(tree.read("reporter-maps").find(RunningProgramPath()), std::string::npos);
    const std::string fds = tree.read("reporter-fds");
    EXPECT_NE(fds.find("3 -> pipe:"), std::string::npos) << fds;
    EXPECT_EQ(fds.find("held.txt"), std::string::npos) << fds;
}

TEST_F(CrashHandlerTest, AbortWithoutAReporterStillLeavesTheTraceAndTheTrueStatus)
{
    const int status = crashInChild(tree.path("no-such-reporter"), [] { std::abort(); });
    ASSERT_TRUE(WIFSIGNALED(status));
    EXPECT_EQ(WTERMSIG(status), SIGABRT);
    const std::string trace = test::ReadFile(tracePath());
    EXPECT_NE(trace.find("Signal: 6 (SIGABRT)\n"), std::string::npos) << trace;
    EXPECT_NE(trace.find("Address: 0x0\n"), std::string::npos) << trace;
}

TEST_F(CrashHandlerTest, AnExceptionNothingCaughtIsNamedInTheTrace)
{
    // Thrown on a thread of its own, where no test framework catches it.
    const int status = crashInChild(reporter, [] { std::thread([] { throw std::runtime_error("Datei verschwunden"); }).join(); });
    ASSERT_TRUE(WIFSIGNALED(status));
    EXPECT_EQ(WTERMSIG(status), SIGABRT);
    const std::string trace = test::ReadFile(tracePath());
    EXPECT_NE(trace.find("Signal: 6 (SIGABRT)\n"), std::string::npos) << trace;
    EXPECT_NE(trace.find("Exception: std::runtime_error: Datei verschwunden\n"), std::string::npos) << trace;
}

TEST_F(CrashHandlerTest, StackOverflowIsReportedFromTheAlternateStack)
{
    const int status = crashInChild(reporter, [] {
        const rlimit smallStack{1 << 20, 1 << 20};
        ::setrlimit(RLIMIT_STACK, &smallStack);
        volatile unsigned depth = 1u << 20;
        Recurse(depth);
    });
    ASSERT_TRUE(WIFSIGNALED(status));
    EXPECT_EQ(WTERMSIG(status), SIGSEGV);
    EXPECT_NE(test::ReadFile(tracePath()).find("Signal: 11 (SIGSEGV)\n"), std::string::npos);
    EXPECT_NE(tree.read("reporter-args").find("--pid"), std::string::npos);
}

TEST_F(CrashHandlerTest, StackOverflowOnAWorkerThreadIsReportedToo)
{
    // A thread started the way the search worker starts: the hook gives it a
    // signal stack of its own.
    const int status = crashInChild(reporter, [] {
        std::thread([] {
            RunThreadStartHook();
            volatile unsigned depth = 1u << 24;
            Recurse(depth);
        }).join();
    });
    ASSERT_TRUE(WIFSIGNALED(status));
    EXPECT_EQ(WTERMSIG(status), SIGSEGV);
    EXPECT_NE(test::ReadFile(tracePath()).find("Signal: 11 (SIGSEGV)\n"), std::string::npos);
    EXPECT_NE(tree.read("reporter-args").find("--pid"), std::string::npos);
}

// The temporary directory is shared: a file planted under the name the
// trace once had (here a hard link to a file of the user's) is never written
// through, and the reporter is given the trace's new name.
TEST_F(CrashHandlerTest, AFilePlantedUnderTheTracesFormerNameIsNotWrittenThrough)
{
    const std::string victim = tree.write("victim.txt", "keep me");
    const std::string former = tree.path(ProgramBaseName(RunningProgramPath()) + ".trace");
    ASSERT_EQ(::link(victim.c_str(), former.c_str()), 0);
    const int status = crashInChild(reporter, [] { std::abort(); });
    ASSERT_TRUE(WIFSIGNALED(status));
    EXPECT_EQ(tree.read("victim.txt"), "keep me");

    const std::string trace = tracePath();
    ASSERT_FALSE(trace.empty());
    EXPECT_NE(test::ReadFile(trace).find("Signal: 6 (SIGABRT)\n"), std::string::npos);
    struct stat info {};
    ASSERT_EQ(::lstat(trace.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
    EXPECT_EQ(info.st_nlink, 1u);
    const std::string args = tree.read("reporter-args");
    EXPECT_NE(args.find("--trace\n" + trace + "\n"), std::string::npos) << args;
}

void KeepSignal(int) {}

TEST(CrashHandlerInstall, OneHandlerPerProcessAndTheFormerActionsComeBack)
{
    struct sigaction own {};
    own.sa_handler = &KeepSignal;
    ::sigemptyset(&own.sa_mask);
    struct sigaction original {};
    ::sigaction(SIGBUS, &own, &original);
    {
        const CrashHandler first({"", "", ""});
        ASSERT_TRUE(first.installed());
        EXPECT_EQ(first.setup().subject, "");
        struct sigaction now {};
        ::sigaction(SIGBUS, nullptr, &now);
        EXPECT_NE(now.sa_handler, &KeepSignal);
        const CrashHandler second({"", "", ""});
        EXPECT_FALSE(second.installed());
    }
    struct sigaction restored {};
    ::sigaction(SIGBUS, nullptr, &restored);
    EXPECT_EQ(restored.sa_handler, &KeepSignal);
    {
        const CrashHandler again({"", "contact", "subject"});
        EXPECT_TRUE(again.installed());
        EXPECT_EQ(again.setup().contact, "contact");
    }
    ::sigaction(SIGBUS, &original, nullptr);
}

}  // namespace
}  // namespace tarnwick::crash
