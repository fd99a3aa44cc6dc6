#pragma once
// Where a result item leads when it is opened in the viewer or the word
// processor: which file, of which kind, at which position, and how much of
// it to select. Plain decisions over the result list; no widgets.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "engine/match/Encoding.h"
#include "results/ResultList.h"
#include "word/automation/StoryId.h"

namespace tarnwick {
class CodePage;
}

namespace tarnwick::ui {

enum class RunKind : int;

struct ResultTarget {
    std::string path;  // engine bytes, as the run reported it
    ItemKind fileKind = ItemKind::File;  // the file item's kind: a Document goes to the word processor
    Encoding encoding = Encoding::Unknown;  // the file item's text encoding
    std::optional<std::int64_t> position;  // bytes, or characters of a document's story; none for a file item
    word::StoryId story;  // the part of a document the hit lies in ("Kopfzeile: 14"), the main text by default
    std::int64_t matchLength = 0;  // the hit in the same units as the position
    ItemKind ownKind = ItemKind::File;  // Replaced or DocumentReplaced once a marked replace changed the hit
};

// The target of `item`: a file with hits opens without a position; a hit
// opens its parent's file at the hit, a document's hit in the part its
// position names. Nothing for top-level items without hits, name hits, info
// lines and no item at all.
//
// Positions stay even in UTF-8 files: the search reports byte offsets of
// the file, which the viewer maps onto its characters itself, and the
// match length in the same bytes (the highlight length counts characters
// of the code page and would cut a hit with umlauts short).
std::optional<ResultTarget> ResultTargetOf(const ResultList& list, ItemHandle item);

// How much to select from the position: what a replace left there (the
// worker's replacement as it was written into this file) after a replace
// run or once the hit itself was replaced, else the hit's own length.
// Bytes of the file for the viewer, UTF-16 units for a document.
std::int64_t SelectionLength(const ResultTarget& target, RunKind lastRunKind, const std::string& replacement,
                             const CodePage& codePage);

// Selecting the page "Vorschau" opens the one selected result there,
// unless it belongs to a word-processor document.
bool OpensOnPreviewTab(const ResultList& list, const std::vector<ItemHandle>& selected);

}  // namespace tarnwick::ui
