#pragma once
// The marked items of a result list, read into records before a replace in
// marked results changes anything, in the order the list holds them: a
// marked top-level item (a name hit, ...) on its own, and the file item of
// marked hits with all its children, whose positions a replacement moves.
// Each record keeps its item's handle, so that what becomes of it can be
// said about that item (MarkedChange) without reading the list again.
#include <cstdint>
#include <string>
#include <vector>

#include "results/ItemKind.h"

namespace tarnwick {

class ResultList;

// A child of a file item: a hit, or an error at an occurrence.
struct ListedHit {
    ItemHandle item = kNoItem;
    ItemKind kind = ItemKind::None;
    bool marked = false;
    // From the position column; false for a text that is no position.
    bool hasPosition = false;
    std::string part;  // empty: the main text or a file's contents
    std::int64_t position = 0;
    std::int64_t length = 0;  // of the match
};

struct MarkedEntry {
    ItemHandle item = kNoItem;
    ItemKind kind = ItemKind::None;
    std::string path;  // the item's first column
    // True: the top-level item itself is marked, and `children` is empty.
    // False: the item is the file of marked hits, listed with all its children.
    bool markedItself = false;
    std::vector<ListedHit> children;
    // A backup copy of the file was made by an earlier replace on these results.
    bool backupMade = false;
};

std::vector<MarkedEntry> readMarkedResults(const ResultList& results);

}  // namespace tarnwick
