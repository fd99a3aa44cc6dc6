#pragma once
// Which file object a descriptor or a name refers to: its device and inode.
// Two names with one identity are one file (hard links, a symbolic link and
// its target); a name whose identity changed was given to another object.
#include <sys/stat.h>

#include <compare>

namespace tarnwick {

struct FileIdentity {
    dev_t device = 0;
    ino_t inode = 0;

    static FileIdentity of(const struct stat& st) { return {st.st_dev, st.st_ino}; }
    bool isKnown() const { return device != 0 || inode != 0; }
    auto operator<=>(const FileIdentity&) const = default;
};

}  // namespace tarnwick
