#include "ui/dirchooser/DirectoryChooserAccess.h"

#include <dirent.h>
#include <fcntl.h>
#include <mntent.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <string_view>

#include "engine/replace/Renaming.h"

namespace tarnwick::ui {
namespace {

std::string withoutTrailingSlashes(std::string path)
{
    while (path.size() > 1 && path.back() == '/') path.pop_back();
    return path;
}

bool liesIn(const std::string& path, std::string_view folder)
{
    return path.compare(0, folder.size(), folder) == 0 && (path.size() == folder.size() || path[folder.size()] == '/');
}

std::string homeDirectory()
{
    const char* home = std::getenv("HOME");
    if (home && home[0] == '/') return home;
    // HOME unset or relative: the password database knows better.
    struct passwd entry {};
    struct passwd* found = nullptr;
    char buffer[4096];
    if (::getpwuid_r(::getuid(), &entry, buffer, sizeof buffer, &found) == 0 && found && found->pw_dir) return found->pw_dir;
    return {};
}

std::vector<std::string> mountPoints()
{
    std::vector<std::string> points;
    FILE* table = ::setmntent("/proc/self/mounts", "r");
    if (!table) return points;  // no mount table: the other roots still stand
    struct mntent entry {};
    char buffer[4096];
    while (::getmntent_r(table, &entry, buffer, sizeof buffer)) points.emplace_back(entry.mnt_dir);
    ::endmntent(table);
    return points;
}

// Whether the entry `name` of the open directory `dirFd` is a directory, or a
// symbolic link to one. Entries the file system types for us need no stat.
bool classify(int dirFd, const dirent& entry, bool& isLink)
{
    isLink = false;
    unsigned char type = entry.d_type;
    struct stat st {};
    if (type == DT_UNKNOWN) {
        if (::fstatat(dirFd, entry.d_name, &st, AT_SYMLINK_NOFOLLOW) != 0) return false;
        if (S_ISDIR(st.st_mode)) return true;
        if (!S_ISLNK(st.st_mode)) return false;
        type = DT_LNK;
    }
    if (type == DT_DIR) return true;
    if (type != DT_LNK) return false;
    // A broken link or a link to a file is no folder.
    if (::fstatat(dirFd, entry.d_name, &st, 0) != 0 || !S_ISDIR(st.st_mode)) return false;
    isLink = true;
    return true;
}

}  // namespace

std::vector<std::string> ChooserRootPaths(const std::string& home, const std::vector<std::string>& mountPoints)
{
    std::vector<std::string> roots{"/"};
    const std::string homePath = withoutTrailingSlashes(home);
    if (!homePath.empty() && homePath != "/") roots.push_back(homePath);
    std::vector<std::string> volumes;
    for (const std::string& point : mountPoints) {
        const std::string path = withoutTrailingSlashes(point);
        if (liesIn(path, "/media") || liesIn(path, "/mnt") || liesIn(path, "/run/media")) volumes.push_back(path);
    }
    std::sort(volumes.begin(), volumes.end());
    for (std::string& volume : volumes) {
        if (std::find(roots.begin(), roots.end(), volume) == roots.end()) roots.push_back(std::move(volume));
    }
    return roots;
}

std::vector<std::string> SystemDirectoryChooserAccess::rootPaths() { return ChooserRootPaths(homeDirectory(), mountPoints()); }

DirectoryChooserListing SystemDirectoryChooserAccess::listDirectories(const std::string& path, std::size_t limit)
{
    DirectoryChooserListing listing;
    DIR* dir = ::opendir(path.c_str());
    if (!dir) {
        listing.error = errno;
        return listing;
    }
    const int dirFd = ::dirfd(dir);
    while (listing.directories.size() < limit) {
        const dirent* entry = ::readdir(dir);
        if (!entry) break;
        const char* name = entry->d_name;
        if (name[0] == '.' && (name[1] == 0 || (name[1] == '.' && name[2] == 0))) continue;
        bool isLink = false;
        if (classify(dirFd, *entry, isLink)) listing.directories.push_back({name, isLink});
    }
    ::closedir(dir);
    return listing;
}

int SystemDirectoryChooserAccess::renameDirectory(const std::string& parent, const std::string& name, const std::string& newName)
{
    return RenameEntry(parent, name, newName).value();
}

std::string SystemDirectoryChooserAccess::canonicalPath(const std::string& path)
{
    char* resolved = ::realpath(path.c_str(), nullptr);
    if (!resolved) return {};
    std::string result(resolved);
    std::free(resolved);
    return result;
}

}  // namespace tarnwick::ui
