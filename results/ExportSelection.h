#pragma once
// Decides how a top-level result item goes into an export, if at all.
#include "results/ExportRequest.h"
#include "results/ResultList.h"

namespace tarnwick {

enum class ExportedAs { Nothing, FileWithHits, Error, FileNameHit, DirNameHit, FileWithoutHits };

// A top-level item with children is a file with hits whenever hits are
// exported, whatever its own kind (a file that turned into an error after its
// hits keeps them). Otherwise errors, file-name hits and directory-name hits
// go by their kind and flag; a file or document without hits goes with the
// hits when the filter says the run listed those; everything else (info
// lines) never.
ExportedAs ClassifyForExport(const ResultList& list, ItemHandle topLevelItem, const ExportFilter& filter);

// The word that stands for an item without hits in a template's "!KONTEXT!".
const char* ContextWordOf(ExportedAs as);

}  // namespace tarnwick
