#include "tests/support/TempTree.h"

#include <sys/stat.h>
#include <sys/time.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace tarnwick::test {
namespace {

// Journals of the runs tests make go to a folder of the test process, never
// to the user's own state folder; removed when the tests end.
struct TestStateHome {
    TestStateHome()
    {
        const char* base = std::getenv("TMPDIR");
        std::string pattern = std::string(base && *base ? base : "/tmp") + "/tarnwick-test-state-XXXXXX";
        if (!::mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
        path = pattern;
        ::setenv("XDG_STATE_HOME", path.c_str(), 1);
    }
    ~TestStateHome()
    {
        std::error_code ignored;
        std::filesystem::remove_all(path, ignored);
    }
    std::string path;
};
const TestStateHome testStateHome;

}  // namespace

TempTree::TempTree()
{
    const char* base = std::getenv("TMPDIR");
    std::string pattern = std::string(base && *base ? base : "/tmp") + "/tarnwick-test-XXXXXX";
    if (!::mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
    m_root = pattern;
}

TempTree::~TempTree()
{
    std::error_code ignored;
    // Give back write permission that a test took away, so removal succeeds.
    for (auto it = std::filesystem::recursive_directory_iterator(
             m_root, std::filesystem::directory_options::skip_permission_denied, ignored);
         it != std::filesystem::recursive_directory_iterator(); it.increment(ignored)) {
        if (it->is_directory(ignored) && !it->is_symlink(ignored))
            std::filesystem::permissions(it->path(), std::filesystem::perms::owner_all, std::filesystem::perm_options::add,
                                         ignored);
    }
    std::filesystem::permissions(m_root, std::filesystem::perms::owner_all, std::filesystem::perm_options::add, ignored);
    std::filesystem::remove_all(m_root, ignored);
}

std::string TempTree::path(std::string_view relative) const
{
    return relative.empty() ? m_root : m_root + "/" + std::string(relative);
}

std::string TempTree::write(std::string_view relative, std::string_view bytes) const
{
    const std::string full = path(relative);
    std::filesystem::create_directories(std::filesystem::path(full).parent_path());
    std::ofstream out(full, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) throw std::runtime_error("cannot write " + full);
    return full;
}

std::string TempTree::mkdir(std::string_view relative) const
{
    const std::string full = path(relative);
    std::filesystem::create_directories(full);
    return full;
}

std::string TempTree::read(std::string_view relative) const { return ReadFile(path(relative)); }

void TempTree::setTimes(std::string_view relative, std::int64_t accessed, std::int64_t modified) const
{
    const struct timeval times[2] = {{static_cast<time_t>(accessed), 0}, {static_cast<time_t>(modified), 0}};
    ::lutimes(path(relative).c_str(), times);
}

std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

}  // namespace tarnwick::test
