#include "ui/dirchooser/DirectoryChooserListing.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "engine/walk/TreeWalk.h"
#include "platform/CodePage.h"
#include "platform/SystemError.h"
#include "ui/dirchooser/DirectoryChooserTexts.h"

namespace tarnwick::ui {
namespace {

// A folder that is gone, or whose name now belongs to something else.
bool isVanished(int error) { return error == ENOENT || error == ENOTDIR; }

bool probeExpandable(DirectoryChooserAccess& access, const std::string& path)
{
    const DirectoryChooserListing probe = access.listDirectories(path, 1);
    if (probe.error != 0) return !isVanished(probe.error);
    return !probe.directories.empty();
}

}  // namespace

void SortDirectoryNames(std::vector<DirectoryChooserEntry>& entries)
{
    const CodePage& codePage = CodePage::system();
    std::vector<std::pair<std::string, DirectoryChooserEntry>> keyed;
    keyed.reserve(entries.size());
    for (DirectoryChooserEntry& entry : entries) keyed.emplace_back(codePage.lower(entry.name), std::move(entry));
    std::sort(keyed.begin(), keyed.end(), [](const auto& a, const auto& b) {
        const int order = std::strcoll(a.first.c_str(), b.first.c_str());
        if (order != 0) return order < 0;
        return a.second.name < b.second.name;
    });
    entries.clear();
    for (auto& [key, entry] : keyed) entries.push_back(std::move(entry));
}

bool SameNameIgnoringCase(const std::string& a, const std::string& b)
{
    if (a.size() != b.size()) return false;
    const CodePage& codePage = CodePage::system();
    return codePage.upper(a) == codePage.upper(b);
}

std::string JoinChooserPath(const std::string& parent, const std::string& name)
{
    std::string path;
    JoinPath(path, parent, name);
    return path;
}

ChooserListing ListChooserChildren(DirectoryChooserAccess& access, const std::string& path)
{
    ChooserListing listing;
    DirectoryChooserListing read = access.listDirectories(path);
    if (read.error != 0) {
        listing.status = isVanished(read.error) ? ChooserListingStatus::Vanished : ChooserListingStatus::Unreadable;
        listing.error = read.error;
        return listing;
    }
    SortDirectoryNames(read.directories);
    listing.children.reserve(read.directories.size());
    for (DirectoryChooserEntry& entry : read.directories) {
        ChooserChild child;
        child.path = JoinChooserPath(path, entry.name);
        child.name = std::move(entry.name);
        child.isLink = entry.isLink;
        child.expandable = !child.isLink && probeExpandable(access, child.path);
        listing.children.push_back(std::move(child));
    }
    return listing;
}

std::string ListingProblemText(const std::string& path, const ChooserListing& listing)
{
    switch (listing.status) {
    case ChooserListingStatus::Listed: return {};
    case ChooserListingStatus::Vanished: return text::kDirectoryVanished + path;
    case ChooserListingStatus::Unreadable: return text::kDirectoryUnreadable + path + "\n" + SystemErrorText(listing.error);
    }
    return {};
}

}  // namespace tarnwick::ui
