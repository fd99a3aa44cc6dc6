#include "ui/results/ResultTarget.h"

#include <algorithm>

#include "engine/documents/DocumentParts.h"
#include "engine/match/DocumentText.h"
#include "platform/CodePage.h"
#include "results/HitPosition.h"
#include "ui/results/ResultsCommands.h"
#include "ui/results/RunKind.h"

namespace tarnwick::ui {
namespace {

// Column 1 of a hit: the position and, in a document, the part it counts
// in; nothing when it is empty, negative or names no part of a document.
void ReadPosition(const std::string& text, ResultTarget& target)
{
    const std::optional<HitPosition> at = ParseHitPosition(text);
    if (!at || at->position < 0) return;
    if (!at->part.empty()) {
        const std::optional<word::StoryId> story =
            target.fileKind == ItemKind::Document ? DocumentPartOfName(at->part) : std::nullopt;
        if (!story) return;
        target.story = *story;
    }
    target.position = at->position;
}

}  // namespace

std::optional<ResultTarget> ResultTargetOf(const ResultList& list, ItemHandle item)
{
    if (item == kNoItem) return std::nullopt;
    ResultTarget target;
    if (list.HasChildren(item)) {
        target.path = list.ColumnText(item, ResultColumn::FileOrContext);
        target.fileKind = list.Kind(item);
        target.encoding = EncodingOfCode(list.Data(item).first);
        return target;
    }
    const ItemHandle parent = list.Parent(item);
    const ItemKind kind = EffectiveKind(list, item);
    if (parent == kNoItem || kind == ItemKind::None || kind == ItemKind::Info || kind == ItemKind::FileNameHit ||
        kind == ItemKind::DirNameHit)
        return std::nullopt;
    target.path = list.ColumnText(parent, ResultColumn::FileOrContext);
    target.fileKind = list.Kind(parent);
    target.encoding = EncodingOfCode(list.Data(parent).first);
    ReadPosition(list.ColumnText(item, ResultColumn::Position), target);
    const ItemData data = list.Data(item);
    if (data.kind == ItemDataKind::Record) target.matchLength = std::max<std::int64_t>(data.first, 0);
    target.ownKind = kind == ItemKind::Replaced || kind == ItemKind::DocumentReplaced ? kind : ItemKind::File;
    return target;
}

std::int64_t SelectionLength(const ResultTarget& target, RunKind lastRunKind, const std::string& replacement,
                             const CodePage& codePage)
{
    const bool document = target.fileKind == ItemKind::Document;
    const ItemKind replacedKind = document ? ItemKind::DocumentReplaced : ItemKind::Replaced;
    if (lastRunKind != RunKind::Replace && target.ownKind != replacedKind) return target.matchLength;
    // The replacement went into the file in the file's own form.
    if (document) return static_cast<std::int64_t>(ToDocumentText(replacement, codePage).size());
    if (target.encoding == Encoding::Utf8) return static_cast<std::int64_t>(codePage.ansiToUtf8(replacement).size());
    return static_cast<std::int64_t>(replacement.size());
}

bool OpensOnPreviewTab(const ResultList& list, const std::vector<ItemHandle>& selected)
{
    if (selected.size() != 1) return false;
    const ItemHandle item = selected.front();
    const ItemHandle fileItem = list.HasChildren(item) ? item : list.Parent(item);
    return fileItem == kNoItem || list.Kind(fileItem) != ItemKind::Document;
}

}  // namespace tarnwick::ui
