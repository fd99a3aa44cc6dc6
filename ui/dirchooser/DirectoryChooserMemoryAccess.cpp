#include "ui/dirchooser/DirectoryChooserMemoryAccess.h"

#include <cerrno>

#include "ui/dirchooser/DirectoryChooserListing.h"

namespace tarnwick::ui {
namespace {

std::string parentOf(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) return {};
    return slash == 0 ? std::string("/") : path.substr(0, slash);
}

std::string prefixOf(const std::string& path) { return path == "/" ? path : path + "/"; }

}  // namespace

MemoryDirectoryChooserAccess::MemoryDirectoryChooserAccess(std::vector<std::string> roots) : m_roots(std::move(roots))
{
    for (const std::string& root : m_roots) addDirectory(root);
}

void MemoryDirectoryChooserAccess::addDirectory(const std::string& path)
{
    for (std::string p = path; !p.empty() && !m_entries.count(p); p = parentOf(p)) {
        m_entries[p] = false;
        if (p == "/") break;
    }
}

void MemoryDirectoryChooserAccess::addLink(const std::string& path)
{
    addDirectory(parentOf(path));
    m_entries[path] = true;
}

void MemoryDirectoryChooserAccess::removeDirectory(const std::string& path)
{
    const std::string below = prefixOf(path);
    for (auto it = m_entries.begin(); it != m_entries.end();) {
        if (it->first == path || it->first.compare(0, below.size(), below) == 0)
            it = m_entries.erase(it);
        else
            ++it;
    }
}

void MemoryDirectoryChooserAccess::failListing(const std::string& path, int error)
{
    if (error == 0)
        m_listingErrors.erase(path);
    else
        m_listingErrors[path] = error;
}

int MemoryDirectoryChooserAccess::fullListings(const std::string& path) const
{
    const auto it = m_fullListings.find(path);
    return it == m_fullListings.end() ? 0 : it->second;
}

DirectoryChooserListing MemoryDirectoryChooserAccess::listDirectories(const std::string& path, std::size_t limit)
{
    DirectoryChooserListing listing;
    if (const auto failure = m_listingErrors.find(path); failure != m_listingErrors.end()) {
        listing.error = failure->second;
        return listing;
    }
    const auto self = m_entries.find(path);
    if (self == m_entries.end() || self->second) {
        listing.error = self == m_entries.end() ? ENOENT : ELOOP;
        return listing;
    }
    if (limit == std::numeric_limits<std::size_t>::max()) ++m_fullListings[path];
    const std::string below = prefixOf(path);
    for (auto it = m_entries.lower_bound(below); it != m_entries.end() && listing.directories.size() < limit; ++it) {
        if (it->first.compare(0, below.size(), below) != 0) break;
        const std::string name = it->first.substr(below.size());
        if (name.empty() || name.find('/') != std::string::npos) continue;
        listing.directories.push_back({name, it->second});
    }
    return listing;
}

int MemoryDirectoryChooserAccess::renameDirectory(const std::string& parent, const std::string& name, const std::string& newName)
{
    if (m_renameError) return m_renameError;
    const std::string from = JoinChooserPath(parent, name);
    const std::string to = JoinChooserPath(parent, newName);
    if (!m_entries.count(from)) return ENOENT;
    if (m_entries.count(to)) return EEXIST;
    std::map<std::string, bool> moved;
    const std::string below = from + "/";
    for (auto it = m_entries.begin(); it != m_entries.end();) {
        if (it->first == from || it->first.compare(0, below.size(), below) == 0) {
            moved[to + it->first.substr(from.size())] = it->second;
            it = m_entries.erase(it);
        } else {
            ++it;
        }
    }
    m_entries.merge(moved);
    return 0;
}

std::string MemoryDirectoryChooserAccess::canonicalPath(const std::string& path)
{
    const auto it = m_entries.find(path);
    return it != m_entries.end() && !it->second ? path : std::string();
}

}  // namespace tarnwick::ui
