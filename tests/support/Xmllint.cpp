#include "tests/support/Xmllint.h"

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <vector>

namespace tarnwick::test {
namespace {

struct Outcome {
    int status = -1;
    std::string output;  // stdout and stderr together
};

// Runs xmllint with `arguments` without a shell, so that no path needs quoting.
Outcome runXmllint(const std::vector<std::string>& arguments)
{
    // Built before the fork: the child of a threaded process must not allocate.
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>("xmllint"));
    for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    int pipeFds[2];
    if (::pipe(pipeFds) != 0) return {};
    const pid_t child = ::fork();
    if (child < 0) return {};
    if (child == 0) {
        ::dup2(pipeFds[1], STDOUT_FILENO);
        ::dup2(pipeFds[1], STDERR_FILENO);
        ::close(pipeFds[0]);
        ::close(pipeFds[1]);
        ::execvp("xmllint", argv.data());
        ::_exit(127);
    }
    ::close(pipeFds[1]);
    Outcome outcome;
    char buffer[4096];
    for (ssize_t n; (n = ::read(pipeFds[0], buffer, sizeof buffer)) > 0;)
        outcome.output.append(buffer, static_cast<std::size_t>(n));
    ::close(pipeFds[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    outcome.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return outcome;
}

}  // namespace

bool HasXmllint()
{
    static const bool found = runXmllint({"--version"}).status == 0;
    return found;
}

std::string XmllintComplaints(const std::string& path)
{
    const Outcome outcome = runXmllint({"--noout", path});
    if (outcome.status == 0 && outcome.output.empty()) return {};
    return outcome.output.empty() ? "xmllint failed" : outcome.output;
}

std::optional<std::string> XmllintValue(const std::string& path, const std::string& xpath)
{
    const Outcome outcome = runXmllint({"--xpath", "string(" + xpath + ")", path});
    if (outcome.status != 0) return std::nullopt;
    std::string value = outcome.output;
    if (!value.empty() && value.back() == '\n') value.pop_back();  // xmllint ends what it prints with a line feed
    return value;
}

}  // namespace tarnwick::test
