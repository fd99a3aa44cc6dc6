#include "word/libreoffice/SofficeProcess.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <thread>
#include <vector>

#include "platform/SystemError.h"
#include "word/libreoffice/OfficePipes.h"

extern char** environ;

namespace tarnwick::word {
namespace {

bool isRunnable(const std::string& path) { return !path.empty() && ::access(path.c_str(), X_OK) == 0; }

std::string temporaryFolder()
{
    const char* tmp = std::getenv("TMPDIR");
    return tmp && *tmp ? tmp : "/tmp";
}

// A file: URL for an absolute path; the profile folder is made by mkdtemp,
// so only characters that need no escaping occur.
std::string fileUrl(const std::string& path) { return "file://" + path; }

}  // namespace

std::string FindSoffice()
{
    if (const char* configured = std::getenv("TARNWICK_SOFFICE"); configured && *configured)
        return isRunnable(configured) ? configured : std::string();
    if (const char* path = std::getenv("PATH")) {
        std::stringstream folders(path);
        for (std::string folder; std::getline(folders, folder, ':');)
            if (!folder.empty() && isRunnable(folder + "/soffice")) return folder + "/soffice";
    }
    const std::string bundled = std::string(TARNWICK_LO_PROGRAM_DIR) + "/soffice";
    return isRunnable(bundled) ? bundled : std::string();
}

Expected<void> SofficeProcess::start(const std::string& soffice)
{
    kill();
    std::string pipe;
    if (const std::error_code failed = NewPipeName("tarnwick-", pipe)) return systemFailure(failed, SystemErrorText(failed));
    std::string profile = temporaryFolder() + "/tarnwick-office-XXXXXX";
    if (!::mkdtemp(profile.data())) {
        const std::error_code failed = LastErrnoCode();
        return systemFailure(failed, SystemErrorText(failed));
    }
    m_profile = profile;
    m_pipe = pipe;

    std::vector<std::string> arguments = {
        soffice,
        "--headless",
        "--invisible",
        "--norestore",
        "--nologo",
        "--nodefault",
        "--nolockcheck",
        "--accept=pipe,name=" + m_pipe + ";urp;",
        "-env:UserInstallation=" + fileUrl(m_profile),
    };
    Expected<pid_t> spawned = SpawnSoffice(std::move(arguments), SpawnGroup::OwnProcessGroup);
    if (!spawned) {
        removeProfile();
        return spawned.error();
    }
    m_pid = spawned.value();
    return succeeded();
}

Expected<pid_t> SpawnSoffice(std::vector<std::string> arguments, SpawnGroup group)
{
    std::vector<char*> argv;
    for (std::string& a : arguments) argv.push_back(a.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    if (group == SpawnGroup::OwnSession) {
        posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSID);
    } else {
        posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP);
        posix_spawnattr_setpgroup(&attributes, 0);
    }
    pid_t pid = -1;
    const int result = ::posix_spawn(&pid, arguments[0].c_str(), &actions, &attributes, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    if (result != 0) return systemFailure(ErrnoCode(result), SystemErrorText(result));
    return pid;
}

bool SofficeProcess::running()
{
    const pid_t pid = m_pid.load();
    if (pid <= 0) return false;
    int status = 0;
    if (::waitpid(pid, &status, WNOHANG) == 0) return true;
    m_pid = -1;
    return false;
}

bool SofficeProcess::waitForExit(std::chrono::milliseconds limit)
{
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (running()) {
        if (std::chrono::steady_clock::now() >= deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return true;
}

void SofficeProcess::kill()
{
    if (const pid_t pid = m_pid.exchange(-1); pid > 0) {
        ::killpg(pid, SIGKILL);
        int status = 0;
        ::waitpid(pid, &status, 0);
    }
    removePipeSockets();
    removeProfile();
}

void SofficeProcess::interrupt()
{
    if (const pid_t pid = m_pid.load(); pid > 0) ::killpg(pid, SIGKILL);
}

void SofficeProcess::removePipeSockets()
{
    // Only sockets of ours: never anything else found under these names.
    auto removeSocket = [](const std::string& name) {
        const std::string path = PipeSocketPath(name);
        struct stat st {};
        if (::lstat(path.c_str(), &st) == 0 && S_ISSOCK(st.st_mode) && st.st_uid == ::getuid()) ::unlink(path.c_str());
    };
    if (!m_pipe.empty()) removeSocket(m_pipe);
    if (!m_profile.empty()) removeSocket(SingleInstancePipeName(fileUrl(m_profile)));
    m_pipe.clear();
}

void SofficeProcess::removeProfile()
{
    if (m_profile.empty()) return;
    std::error_code ignored;
    std::filesystem::remove_all(m_profile, ignored);
    m_profile.clear();
}

}  // namespace tarnwick::word
