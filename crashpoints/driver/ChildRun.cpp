#include "crashpoints/driver/ChildRun.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace tarnwick::crashpoints {
namespace {

std::string readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

std::vector<char*> pointers(std::vector<std::string>& strings)
{
    std::vector<char*> result;
    for (std::string& text : strings) result.push_back(text.data());
    result.push_back(nullptr);
    return result;
}

// Waits for the child at most `timeout`; false when it is still running.
bool waitWithin(pid_t pid, std::chrono::milliseconds timeout, int& status)
{
    const int pidFd = static_cast<int>(::syscall(SYS_pidfd_open, pid, 0));
    if (pidFd >= 0) {
        pollfd ready{pidFd, POLLIN, 0};
        int polled;
        while ((polled = ::poll(&ready, 1, static_cast<int>(timeout.count()))) < 0 && errno == EINTR) {}
        ::close(pidFd);
        if (polled == 0) return false;
    }
    while (::waitpid(pid, &status, 0) < 0)
        if (errno != EINTR) throw std::runtime_error(std::string("waitpid: ") + std::strerror(errno));
    return true;
}

}  // namespace

std::string ChildOutcome::describe() const
{
    if (timedOut) return "timed out";
    if (exited()) return "exit status " + std::to_string(exitStatus);
    return "killed by signal " + std::to_string(signal);
}

ChildOutcome RunChild(const ChildRequest& request, const std::string& ioFolder)
{
    const std::string outPath = ioFolder + "/stdout";
    const std::string errPath = ioFolder + "/stderr";
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    // Nothing else of ours (or of whoever started us) reaches the child.
    posix_spawn_file_actions_addclosefrom_np(&actions, STDERR_FILENO + 1);
    if (!request.workingFolder.empty()) posix_spawn_file_actions_addchdir_np(&actions, request.workingFolder.c_str());

    std::vector<std::string> arguments{request.program};
    arguments.insert(arguments.end(), request.arguments.begin(), request.arguments.end());
    std::vector<std::string> environment = request.environment;
    std::vector<char*> argv = pointers(arguments);
    std::vector<char*> envp = pointers(environment);
    pid_t pid = 0;
    const int spawned = ::posix_spawn(&pid, request.program.c_str(), &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) throw std::runtime_error("cannot start " + request.program + ": " + std::strerror(spawned));

    ChildOutcome outcome;
    int status = 0;
    if (!waitWithin(pid, request.timeout, status)) {
        ::kill(pid, SIGKILL);
        outcome.timedOut = true;
        waitWithin(pid, std::chrono::milliseconds(-1), status);
    }
    if (WIFEXITED(status)) outcome.exitStatus = WEXITSTATUS(status);
    if (WIFSIGNALED(status)) outcome.signal = WTERMSIG(status);
    outcome.out = readFile(outPath);
    outcome.err = readFile(errPath);
    return outcome;
}

}  // namespace tarnwick::crashpoints
