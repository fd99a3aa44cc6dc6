#include "DirectoryReader.h"

#include "CodePage.h"
#include "SystemError.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <string_view>

namespace tarnwick {
namespace {

EntryType typeFromMode(unsigned mode)
{
    if (S_ISREG(mode)) return EntryType::File;
    if (S_ISDIR(mode)) return EntryType::Directory;
    return EntryType::Other;
}

}  // namespace

DirectoryReader::DirectoryReader(const std::string& path, const CodePage& codePage, DirectoryListing& listing)
    : m_dir(::opendir(path.c_str())), m_listing(listing)
{
    m_listing.bytes.clear();
    m_listing.records.clear();
    if (!m_dir) {
        m_error = LastErrnoCode();
        return;
    }
    readListing(codePage);
}

DirectoryReader::~DirectoryReader() { close(); }

int DirectoryReader::descriptor() const { return m_dir ? ::dirfd(m_dir) : -1; }

void DirectoryReader::close()
{
    if (m_dir) ::closedir(m_dir);
    m_dir = nullptr;
}

void DirectoryReader::readListing(const CodePage& codePage)
{
    std::string& bytes = m_listing.bytes;
    for (;;) {
        errno = 0;
        const dirent* d = ::readdir(m_dir);
        if (!d) {
            m_error = LastErrnoCode();
            break;
        }
        const char* raw = d->d_name;
        if (raw[0] == '.' && (raw[1] == 0 || (raw[1] == '.' && raw[2] == 0))) continue;
        const std::size_t length = std::strlen(raw);
        DirectoryListing::Record record;
        record.name = static_cast<std::uint32_t>(bytes.size());
        record.key = static_cast<std::uint32_t>(bytes.size() + length);
        record.length = static_cast<std::uint16_t>(length);
        record.type = d->d_type;
        bytes.append(raw, length);
        bytes.append(raw, length);
        m_listing.records.push_back(record);
    }
    // The keys are written once the arena has stopped moving.
    for (const DirectoryListing::Record& record : m_listing.records)
        codePage.upperCase(bytes.data() + record.name, bytes.data() + record.key, record.length);
    const char* base = bytes.data();
    std::sort(m_listing.records.begin(), m_listing.records.end(),
              [base](const DirectoryListing::Record& a, const DirectoryListing::Record& b) {
                  const std::string_view keyA(base + a.key, a.length), keyB(base + b.key, b.length);
                  if (const int order = keyA.compare(keyB); order != 0) return order < 0;
                  return std::string_view(base + a.name, a.length) < std::string_view(base + b.name, b.length);
              });
    m_next = 0;
}

bool DirectoryReader::readName(DirEntry& entry)
{
    if (!m_dir || m_next >= m_listing.records.size()) return false;
    const DirectoryListing::Record& record = m_listing.records[m_next++];
    entry.name.assign(m_listing.bytes.data() + record.name, record.length);
    entry.statDone = false;
    entry.isSymlink = record.type == DT_LNK;
    entry.hidden = entry.name[0] == '.';
    entry.readOnly = false;
    entry.archive = false;
    entry.size = 0;
    entry.created = entry.modified = entry.accessed = 0;
    switch (record.type) {
    case DT_REG: entry.type = EntryType::File; break;
    case DT_DIR: entry.type = EntryType::Directory; break;
    case DT_LNK:
    case DT_UNKNOWN: entry.type = EntryType::Unknown; break;
    default: entry.type = EntryType::Other; break;
    }
    entry.system = entry.type == EntryType::Other;
    return true;
}

bool DirectoryReader::stat(DirEntry& entry) const
{
    if (!m_dir) return false;
    const int dirFd = ::dirfd(m_dir);
    const unsigned mask =
        STATX_TYPE | STATX_MODE | STATX_INO | STATX_SIZE | STATX_ATIME | STATX_MTIME | STATX_CTIME | STATX_BTIME;
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
