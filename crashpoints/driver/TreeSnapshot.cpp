#include "crashpoints/driver/TreeSnapshot.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <stdexcept>

namespace tarnwick::crashpoints {
namespace {

std::string readContents(const std::string& path)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0) throw std::runtime_error("cannot read " + path);
    std::string bytes;
    char block[65536];
    for (ssize_t got; (got = ::read(fd, block, sizeof block)) != 0;) {
        if (got < 0) {
            ::close(fd);
            throw std::runtime_error("cannot read " + path);
        }
        bytes.append(block, static_cast<std::size_t>(got));
    }
    ::close(fd);
    return bytes;
}

void addEntry(const std::string& root, const std::string& relative, Snapshot& snapshot)
{
    const std::string path = root + "/" + relative;
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0) return;
    EntryState state;
    state.inode = st.st_ino;
    state.links = st.st_nlink;
    state.mode = st.st_mode & 07777;
    if (S_ISREG(st.st_mode)) {
        state.kind = EntryKind::File;
        state.bytes = readContents(path);
    } else if (S_ISLNK(st.st_mode)) {
        state.kind = EntryKind::Symlink;
        std::string target(4096, '\0');
        const ssize_t length = ::readlink(path.c_str(), target.data(), target.size());
        target.resize(length > 0 ? static_cast<std::size_t>(length) : 0);
        state.bytes = target;
    } else if (S_ISDIR(st.st_mode)) {
        state.kind = EntryKind::Folder;
    }
    snapshot[relative] = std::move(state);
    if (!S_ISDIR(st.st_mode)) return;
    DIR* folder = ::opendir(path.c_str());
    if (!folder) throw std::runtime_error("cannot list " + path);
    std::vector<std::string> names;
    while (const dirent* entry = ::readdir(folder)) {
        const std::string name = entry->d_name;
        if (name != "." && name != "..") names.push_back(name);
    }
    ::closedir(folder);
    for (const std::string& name : names) addEntry(root, relative + "/" + name, snapshot);
}

}  // namespace

Snapshot TakeSnapshot(const std::string& root, const std::vector<std::string>& folders)
{
    Snapshot snapshot;
    for (const std::string& folder : folders) addEntry(root, folder, snapshot);
    return snapshot;
}

bool SameEntries(const Snapshot& a, const Snapshot& b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](const auto& x, const auto& y) {
               return x.first == y.first && x.second.kind == y.second.kind && x.second.bytes == y.second.bytes &&
                   x.second.links == y.second.links && x.second.mode == y.second.mode;
           });
}

std::string ParentOf(const std::string& path)
{
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

std::string NameOf(const std::string& path)
{
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace tarnwick::crashpoints
