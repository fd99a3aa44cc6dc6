#include "ui/dirchooser/DirectoryChooserPreset.h"

#include <algorithm>
#include <optional>

#include "ui/dirchooser/DirectoryChooserListing.h"

namespace tarnwick::ui {
namespace {

std::vector<std::string> splitPath(const std::string& path)
{
    std::vector<std::string> components;
    std::size_t start = 0;
    while (start <= path.size()) {
        std::size_t end = path.find('/', start);
        if (end == std::string::npos) end = path.size();
        std::string component = path.substr(start, end - start);
        if (!component.empty() && component != ".") components.push_back(std::move(component));
        start = end + 1;
    }
    return components;
}

bool componentMatches(const std::string& onDisk, const std::string& wanted)
{
    return onDisk == wanted || SameNameIgnoringCase(onDisk, wanted);
}

// The folder of `listing` that `wanted` names: the exact spelling first.
const DirectoryChooserEntry* findComponent(const std::vector<DirectoryChooserEntry>& listing, const std::string& wanted)
{
    for (const DirectoryChooserEntry& entry : listing)
        if (entry.name == wanted) return &entry;
    for (const DirectoryChooserEntry& entry : listing)
        if (SameNameIgnoringCase(entry.name, wanted)) return &entry;
    return nullptr;
}

// Walks `components` from `skip` on, starting in `rootPath`.
std::optional<std::vector<std::string>> walkBelow(DirectoryChooserAccess& access, const std::string& rootPath,
                                                  const std::vector<std::string>& components, std::size_t skip)
{
    std::vector<std::string> names;
    std::string current = rootPath;
    for (std::size_t i = skip; i < components.size(); ++i) {
        DirectoryChooserListing listing = access.listDirectories(current);
        if (listing.error != 0) return std::nullopt;
        SortDirectoryNames(listing.directories);
        const DirectoryChooserEntry* entry = findComponent(listing.directories, components[i]);
        if (!entry) return std::nullopt;
        // The tree never opens a link, so nothing below one can be shown.
        if (entry->isLink && i + 1 < components.size()) return std::nullopt;
        names.push_back(entry->name);
        current = JoinChooserPath(current, entry->name);
    }
    return names;
}

PresetMatch matchAbsolute(DirectoryChooserAccess& access, const std::vector<std::string>& roots, const std::string& path)
{
    PresetMatch match;
    if (path.empty() || path.front() != '/') return match;
    const std::vector<std::string> components = splitPath(path);

    struct Candidate {
        std::size_t root;
        std::size_t depth;
    };
    std::vector<Candidate> candidates;
    for (std::size_t r = 0; r < roots.size(); ++r) {
        const std::vector<std::string> rootComponents = splitPath(roots[r]);
        if (rootComponents.size() > components.size()) continue;
        if (std::equal(rootComponents.begin(), rootComponents.end(), components.begin(), componentMatches))
            candidates.push_back({r, rootComponents.size()});
    }
    std::stable_sort(candidates.begin(), candidates.end(),
                     [](const Candidate& a, const Candidate& b) { return a.depth > b.depth; });
    for (const Candidate& candidate : candidates) {
        if (auto names = walkBelow(access, roots[candidate.root], components, candidate.depth)) {
            match.target = PresetTarget::Directory;
            match.root = candidate.root;
            match.names = std::move(*names);
            return match;
        }
    }
    return match;
}

}  // namespace

PresetMatch MatchPresetPath(DirectoryChooserAccess& access, const std::vector<std::string>& roots, const std::string& preset)
{
    if (preset.empty()) return PresetMatch{PresetTarget::Computer, 0, {}};
    PresetMatch match = matchAbsolute(access, roots, preset);
    if (match.target != PresetTarget::NotFound) return match;
    const std::string resolved = access.canonicalPath(preset);
    if (!resolved.empty() && resolved != preset) match = matchAbsolute(access, roots, resolved);
    return match;
}

}  // namespace tarnwick::ui
