#include "DirectoryReader.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <cstring>

namespace tarnwick {
namespace {

EntryType typeFromMode(unsigned mode)
{
    if (S_ISREG(mode)) return EntryType::File;
    if (S_ISDIR(mode)) return EntryType::Directory;
    return EntryType::Other;
}

}  // namespace

DirectoryReader::DirectoryReader(const std::string& path) : m_dir(::opendir(path.c_str())) {}

DirectoryReader::~DirectoryReader() { close(); }

void DirectoryReader::close()
{
    if (m_dir) ::closedir(m_dir);
    m_dir = nullptr;
}

bool DirectoryReader::nextRaw(std::string& name, unsigned char& type)
{
    if (m_snapshot) {
        if (m_next >= m_listed.size()) return false;
        name.assign(m_listed[m_next].name);
        type = m_listed[m_next].type;
        ++m_next;
        return true;
    }
    for (;;) {
        const dirent* d = ::readdir(m_dir);
        if (!d) return false;
        const char* raw = d->d_name;
        if (raw[0] == '.' && (raw[1] == 0 || (raw[1] == '.' && raw[2] == 0))) continue;
        name.assign(raw);
        type = d->d_type;
        return true;
    }
}

void DirectoryReader::snapshot()
{
    if (!m_dir || m_snapshot) return;
    std::string name;
    unsigned char type = DT_UNKNOWN;
    while (nextRaw(name, type)) m_listed.push_back({name, type});
    m_snapshot = true;
    m_next = 0;
}

bool DirectoryReader::readName(DirEntry& entry)
{
    if (!m_dir) return false;
    unsigned char type = DT_UNKNOWN;
    if (!nextRaw(entry.name, type)) return false;
    entry.statDone = false;
    entry.isSymlink = type == DT_LNK;
    entry.hidden = entry.name[0] == '.';
    switch (type) {
    case DT_REG: entry.type = EntryType::File; break;
    case DT_DIR: entry.type = EntryType::Directory; break;
    case DT_LNK:
    case DT_UNKNOWN: entry.type = EntryType::Unknown; break;
    default: entry.type = EntryType::Other; break;
    }
    return true;
}

bool DirectoryReader::stat(DirEntry& entry) const
{
    if (!m_dir) return false;
    const int dirFd = ::dirfd(m_dir);
    const unsigned mask = STATX_TYPE | STATX_MODE | STATX_INO | STATX_SIZE | STATX_ATIME | STATX_MTIME | STATX_CTIME | STATX_BTIME;
    struct statx st {};
    if (::statx(dirFd, entry.name.c_str(), AT_STATX_DONT_SYNC, mask, &st) != 0) {
        // A broken symbolic link still is an entry: describe the link itself.
        if (::statx(dirFd, entry.name.c_str(), AT_SYMLINK_NOFOLLOW | AT_STATX_DONT_SYNC, mask, &st) != 0) return false;
    }
    if (!entry.isSymlink && entry.type == EntryType::Unknown) {
        struct statx linkInfo {};
        if (::statx(dirFd, entry.name.c_str(), AT_SYMLINK_NOFOLLOW | AT_STATX_DONT_SYNC, STATX_TYPE, &linkInfo) == 0)
            entry.isSymlink = S_ISLNK(linkInfo.stx_mode);
    }
    entry.type = S_ISLNK(st.stx_mode) ? EntryType::File : typeFromMode(st.stx_mode);
    entry.readOnly = (st.stx_mode & S_IWUSR) == 0;
    entry.archive = false;
    entry.system = !(S_ISREG(st.stx_mode) || S_ISDIR(st.stx_mode) || S_ISLNK(st.stx_mode));
    entry.size = st.stx_size;
    entry.modified = st.stx_mtime.tv_sec;
    entry.accessed = st.stx_atime.tv_sec;
    entry.created = (st.stx_mask & STATX_BTIME) ? st.stx_btime.tv_sec : st.stx_ctime.tv_sec;
    entry.device = (static_cast<std::uint64_t>(st.stx_dev_major) << 32) | st.stx_dev_minor;
    entry.inode = st.stx_ino;
    entry.statDone = true;
    return true;
}

}  // namespace tarnwick
