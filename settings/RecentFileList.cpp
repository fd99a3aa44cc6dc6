#include "settings/RecentFileList.h"

#include <algorithm>

#include "settings/ProfileStore.h"

namespace tarnwick::settings {
namespace {

std::string ValueName(std::size_t index) { return "File" + std::to_string(index + 1); }

}  // namespace

void RecentFileList::read(ProfileStore& store)
{
    m_entries.clear();
    for (std::size_t i = 0; i < kRecentFileCount; ++i) {
        std::string path = store.GetProfileString(kRecentFileSection, ValueName(i));
        if (!path.empty() && std::find(m_entries.begin(), m_entries.end(), path) == m_entries.end())
            m_entries.push_back(std::move(path));
    }
}

Expected<void> RecentFileList::write(ProfileStore& store) const
{
    ProfileStore::Batch batch(store);
    // Entries that fell out must not come back from the old section.
    batch.WriteProfileString(kRecentFileSection, std::nullopt, {});
    for (std::size_t i = 0; i < m_entries.size(); ++i) batch.WriteProfileString(kRecentFileSection, ValueName(i), m_entries[i]);
    return batch.commit();
}

void RecentFileList::add(const std::string& path)
{
    if (path.empty()) return;
    std::erase(m_entries, path);
    m_entries.insert(m_entries.begin(), path);
    if (m_entries.size() > kRecentFileCount) m_entries.resize(kRecentFileCount);
}

void RecentFileList::remove(std::size_t index)
{
    if (index < m_entries.size()) m_entries.erase(m_entries.begin() + static_cast<std::ptrdiff_t>(index));
}

}  // namespace tarnwick::settings
