#include "settings/ComboHistory.h"

#include <algorithm>

namespace tarnwick::settings {

void ComboHistory::select(std::size_t index)
{
    if (index >= entries.size()) return;
    selected = static_cast<int>(index);
    text = entries[index];
}

int ComboHistory::find(std::string_view value) const
{
    const auto found = std::find(entries.begin(), entries.end(), value);
    return found == entries.end() ? -1 : static_cast<int>(found - entries.begin());
}

void CommitComboText(ComboHistory& history, const TextPreparer& prepare)
{
    if (prepare) {
        std::string prepared = prepare(history.text);
        if (prepared.empty()) return;
        history.text = std::move(prepared);
    }
    if (history.text.empty()) return;
    const int found = history.find(history.text);
    if (found >= 0) {
        history.select(static_cast<std::size_t>(found));
        return;
    }
    history.entries.push_back(history.text);
    history.selected = static_cast<int>(history.entries.size() - 1);
}

std::string TerminateNameStrings(const std::string& text)
{
    if (text.empty() || text.back() == ';') return text;
    return text + ';';
}

void MoveCurrentToTop(ComboHistory& history)
{
    const int found = history.find(history.text);
    if (found <= 0) return;
    std::string entry = std::move(history.entries[static_cast<std::size_t>(found)]);
    history.entries.erase(history.entries.begin() + found);
    history.entries.insert(history.entries.begin(), std::move(entry));
    history.select(0);
}

std::string JoinHistory(const std::vector<std::string>& entries, char marker)
{
    std::string joined;
    for (const std::string& entry : entries) (joined += marker) += entry;
    return joined;
}

std::vector<std::string> SplitHistory(std::string_view stored, char marker)
{
    // Cut from the back at each marker, each part going to the front: the
    // entries come out in stored order.
    std::vector<std::string> entries;
    for (std::size_t at = stored.rfind(marker); at != std::string_view::npos; at = stored.rfind(marker)) {
        entries.emplace_back(stored.substr(at + 1));
        stored = stored.substr(0, at);
    }
    std::reverse(entries.begin(), entries.end());
    return entries;
}

}  // namespace tarnwick::settings
