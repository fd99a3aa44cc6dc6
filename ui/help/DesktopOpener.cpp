#include "ui/help/DesktopOpener.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <cerrno>

#include "platform/SystemError.h"
#include "ui/help/HelpMenuTexts.h"

extern char** environ;

namespace tarnwick::ui {
namespace {

constexpr int kPollMilliseconds = 50;

// xdg-open's exit status 3: "a required tool could not be found", which is
// what it says when nothing on this desktop opens the page.
constexpr int kNoToolFound = 3;

BrowserAnswer AnswerOf(int status)
{
    if (WIFEXITED(status) && WEXITSTATUS(status) == 0) return {true, {}};
    if (WIFEXITED(status) && WEXITSTATUS(status) == kNoToolFound) return {false, text::help::kOpenerNoBrowser};
    if (WIFEXITED(status)) return {false, text::help::kOpenerFailed + std::to_string(WEXITSTATUS(status)) + "."};
    return {false, text::help::kOpenerSignal + std::to_string(WTERMSIG(status)) + " beendet."};
}

// posix_spawn's attributes and file actions, released however the start ends.
struct SpawnSetup {
    posix_spawnattr_t attributes{};
    posix_spawn_file_actions_t actions{};
    SpawnSetup()
    {
        posix_spawnattr_init(&attributes);
        posix_spawn_file_actions_init(&actions);
        // A session of its own: Ctrl+C in this program's terminal does not
        // reach the browser. Signal handling as a fresh program has it.
        sigset_t none;
        sigemptyset(&none);
        sigset_t defaults;
        sigemptyset(&defaults);
        sigaddset(&defaults, SIGPIPE);
        posix_spawnattr_setsigmask(&attributes, &none);
        posix_spawnattr_setsigdefault(&attributes, &defaults);
        posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSID | POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
        // Nothing to read; its messages still go where this program's go.
        posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    }
    ~SpawnSetup()
    {
        posix_spawn_file_actions_destroy(&actions);
        posix_spawnattr_destroy(&attributes);
    }
};

}  // namespace

DesktopOpener::DesktopOpener(std::string program, std::chrono::milliseconds grace, QObject* parent)
    : QObject(parent), m_program(std::move(program)), m_grace(grace)
{
    m_timer.setInterval(kPollMilliseconds);
    connect(&m_timer, &QTimer::timeout, this, [this] { poll(); });
}

// Children still running are left to run; the system reaps them after this
// program ends.
DesktopOpener::~DesktopOpener() = default;

void DesktopOpener::open(const std::string& target, std::function<void(const BrowserAnswer&)> done)
{
    SpawnSetup setup;
    std::string program = m_program;
    std::string argument = target;
    char* argv[] = {program.data(), argument.data(), nullptr};
    pid_t pid = 0;
    const int error = posix_spawnp(&pid, program.c_str(), &setup.actions, &setup.attributes, argv, environ);
    if (error != 0) {
        done({false, text::help::kOpenerNotStarted + SystemErrorText(error) + ")."});
        return;
    }
    m_children.push_back({pid, std::chrono::steady_clock::now() + m_grace, std::move(done)});
    if (!m_timer.isActive()) m_timer.start();
}

void DesktopOpener::poll()
{
    const auto now = std::chrono::steady_clock::now();
    // Answers are collected first: a `done` may open another page.
    std::vector<std::pair<std::function<void(const BrowserAnswer&)>, BrowserAnswer>> answers;
    for (auto it = m_children.begin(); it != m_children.end();) {
        int status = 0;
        const pid_t ended = ::waitpid(it->pid, &status, WNOHANG);
        if (ended == 0) {
            if (it->done && now >= it->deadline) {
                answers.emplace_back(std::move(it->done), BrowserAnswer{true, {}});
                it->done = nullptr;
            }
            ++it;
            continue;
        }
        if (ended < 0 && errno == EINTR) {
            ++it;
            continue;
        }
        // Someone else reaped it (ECHILD): its status is unknown, and no news counts as opened.
        if (it->done) answers.emplace_back(std::move(it->done), ended > 0 ? AnswerOf(status) : BrowserAnswer{true, {}});
        it = m_children.erase(it);
    }
    if (m_children.empty()) m_timer.stop();
    for (auto& [done, answer] : answers) done(answer);
}

}  // namespace tarnwick::ui
