#include "results/MarkedResults.h"

#include <optional>

#include "results/HitPosition.h"
#include "results/ResultList.h"

namespace tarnwick {
namespace {

MarkedEntry entryOf(const ResultList& results, ItemHandle item, bool markedItself)
{
    MarkedEntry entry;
    entry.item = item;
    entry.kind = results.Kind(item);
    entry.path = results.ColumnText(item, ResultColumn::FileOrContext);
    entry.markedItself = markedItself;
    entry.backupMade = results.Data(item).second != 0;
    if (markedItself) return entry;
    for (ItemHandle child = results.FirstChild(item); child != kNoItem; child = results.NextSibling(child)) {
        ListedHit hit;
        hit.item = child;
        hit.kind = results.Kind(child);
        hit.marked = results.IsChecked(child) && results.HasCheckBox(child);
        const std::optional<HitPosition> at = ParseHitPosition(results.ColumnText(child, ResultColumn::Position));
        hit.hasPosition = at.has_value();
        if (at) {
            hit.part = at->part;
            hit.position = at->position;
        }
        hit.length = results.Data(child).first;
        entry.children.push_back(std::move(hit));
    }
    return entry;
}

}  // namespace

std::vector<MarkedEntry> readMarkedResults(const ResultList& results)
{
    std::vector<MarkedEntry> entries;
    for (ItemHandle item = results.FirstMarkedItem(); item != kNoItem; item = results.NextMarkedItem(item)) {
        const ItemHandle parent = results.Parent(item);
        if (parent == kNoItem) {
            entries.push_back(entryOf(results, item, true));
        } else if (entries.empty() || entries.back().item != parent || entries.back().markedItself) {
            // Hits lie right after their file item, so a file's marked hits come one after another.
            entries.push_back(entryOf(results, parent, false));
        }
    }
    return entries;
}

}  // namespace tarnwick
