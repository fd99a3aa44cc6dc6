#include "tests/cli/CliProcess.h"

#include "engine/Messages.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstring>
#include <filesystem>
#include <sstream>
#include <stdexcept>

extern char** environ;

namespace tarnwick::test {
namespace {

std::vector<std::string> childEnvironment(const std::string& stateHome, const std::string& configHome)
{
    std::vector<std::string> env;
    for (char** e = environ; *e; ++e)
        if (std::strncmp(*e, "LC_", 3) != 0 && std::strncmp(*e, "LANG", 4) != 0 &&
            (stateHome.empty() || std::strncmp(*e, "XDG_STATE_HOME=", 15) != 0))
            env.emplace_back(*e);
    env.emplace_back("LC_ALL=C");
    if (!stateHome.empty()) env.emplace_back("XDG_STATE_HOME=" + stateHome);
    if (!configHome.empty()) {
        std::erase_if(env, [](const std::string& e) { return e.starts_with("XDG_CONFIG_HOME="); });
        env.emplace_back("XDG_CONFIG_HOME=" + configHome);
    }
    return env;
}

std::vector<char*> pointers(std::vector<std::string>& strings)
{
    std::vector<char*> out;
    for (auto& s : strings) out.push_back(s.data());
    out.push_back(nullptr);
    return out;
}

}  // namespace

CliOutcome RunCli(const std::vector<std::string>& arguments) { return RunCliClosingAfter(arguments, -1); }

CliOutcome RunCliClosingAfter(const std::vector<std::string>& arguments, int lines)
{
    CliOptions options;
    options.lines = lines;
    return RunCliWith(arguments, options);
}

CliOutcome RunCliWith(const std::vector<std::string>& arguments, const CliOptions& options)
{
    int lines = options.lines;
    std::vector<std::string> argv{TARNWICK_CLI_PATH};
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    std::vector<std::string> env = childEnvironment(options.stateHome, options.configHome);
    std::vector<char*> argp = pointers(argv), envp = pointers(env);

    int outPipe[2], errPipe[2];
    if (::pipe2(outPipe, O_CLOEXEC) != 0 || ::pipe2(errPipe, O_CLOEXEC) != 0) throw std::runtime_error("pipe failed");
    const pid_t pid = ::fork();
    if (pid < 0) throw std::runtime_error("fork failed");
    if (pid == 0) {
        if (options.fileSizeLimit >= 0) {
            const rlimit limit{static_cast<rlim_t>(options.fileSizeLimit), static_cast<rlim_t>(options.fileSizeLimit)};
            ::setrlimit(RLIMIT_FSIZE, &limit);
            // Ignored, the signal becomes the error EFBIG of the write.
            ::signal(SIGXFSZ, SIG_IGN);
        }
        if (!options.workingFolder.empty() && ::chdir(options.workingFolder.c_str()) != 0) ::_exit(126);
        ::dup2(outPipe[1], STDOUT_FILENO);
        ::dup2(errPipe[1], STDERR_FILENO);
        ::execve(argp[0], argp.data(), envp.data());
        ::_exit(127);
    }
    ::close(outPipe[1]);
    ::close(errPipe[1]);

    // Both pipes are drained together, so a child that fills one of them
    // while we wait on the other cannot block.
    CliOutcome outcome;
    pollfd fds[2] = {{outPipe[0], POLLIN, 0}, {errPipe[0], POLLIN, 0}};
    std::string* sinks[2] = {&outcome.out, &outcome.err};
    int open = 2;
    char buffer[65536];
    while (open > 0) {
        if (::poll(fds, 2, -1) < 0) continue;
        for (int i = 0; i < 2; ++i) {
            if (fds[i].fd < 0 || fds[i].revents == 0) continue;
            const ssize_t got = ::read(fds[i].fd, buffer, i == 0 && lines >= 0 ? 1 : sizeof buffer);
            if (got > 0) {
                sinks[i]->append(buffer, static_cast<std::size_t>(got));
            }
            // A reader that has what it wanted goes away, as head does, or
            // sends the signal and reads on.
            const bool satisfied = i == 0 && lines >= 0 && got > 0 && buffer[0] == '\n' && --lines == 0;
            if (satisfied && options.signal) {
                ::kill(pid, options.signal);
                if (options.signalTwice) ::kill(pid, options.signal);
                lines = -1;
                continue;
            }
            if (got <= 0 || satisfied) {
                ::close(fds[i].fd);
                fds[i].fd = -1;
                --open;
            }
        }
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    outcome.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return outcome;
}

std::vector<std::string> BodyLines(const std::string& out)
{
    std::vector<std::string> lines;
    std::istringstream in(out);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    if (!lines.empty() && lines.back() == text::kRunStopped) lines.pop_back();
    if (!lines.empty() && lines.back() == text::kDocumentsSearchedLiterally) lines.pop_back();
    if (lines.size() < 2) return {};
    return {lines.begin() + 1, lines.end() - 1};
}

std::vector<std::string> HitPositions(const std::string& out)
{
    std::vector<std::string> positions;
    for (const std::string& line : BodyLines(out)) {
        const std::size_t p = line.find("; P: ");
        const std::size_t t = line.find("; T: ", p);
        if (p != std::string::npos && t != std::string::npos) positions.push_back(line.substr(p + 2, t - p - 2));
    }
    return positions;
}

std::set<std::string> ReportedPaths(const std::string& out, const std::string& root)
{
    std::set<std::string> paths;
    for (const std::string& line : BodyLines(out)) {
        const std::size_t at = line.find(root + "/");
        if (at == std::string::npos) continue;
        const std::size_t end = line.find("; P: ", at);
        paths.insert(
            line.substr(at + root.size() + 1, end == std::string::npos ? std::string::npos : end - at - root.size() - 1));
    }
    return paths;
}

std::set<std::string> TreeEntries(const std::string& root)
{
    std::set<std::string> entries;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(root))
        entries.insert(std::filesystem::relative(entry.path(), root).string());
    return entries;
}

}  // namespace tarnwick::test
