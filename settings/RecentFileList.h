#pragma once
// The recent-file list of "&Datei (Vorschau)": the last files opened in the
// viewer, newest first, kept in section "Recent File List" as File1 to
// File4. Plain data; the caller reads and writes it through a store.
#include <cstddef>
#include <string>
#include <vector>

#include "platform/Expected.h"

namespace tarnwick::settings {

class ProfileStore;

inline constexpr char kRecentFileSection[] = "Recent File List";
inline constexpr std::size_t kRecentFileCount = 4;

class RecentFileList {
public:
    // File1 onwards; empty values are skipped.
    void read(ProfileStore& store);
    // Rewrites the section with the current entries, in one write.
    Expected<void> write(ProfileStore& store) const;

    // Puts `path` first; an entry naming the same path moves up instead of
    // appearing twice, and the oldest one falls out of a full list.
    void add(const std::string& path);
    // Removes entry `index`; an index beyond the list is ignored.
    void remove(std::size_t index);

    const std::vector<std::string>& entries() const { return m_entries; }

private:
    std::vector<std::string> m_entries;
};

}  // namespace tarnwick::settings
