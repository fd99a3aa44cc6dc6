#include "results/ExportSelection.h"

namespace tarnwick {

ExportedAs ClassifyForExport(const ResultList& list, ItemHandle topLevelItem, const ExportFilter& filter)
{
    if (filter.hits && list.HasChildren(topLevelItem)) return ExportedAs::FileWithHits;
    switch (list.Kind(topLevelItem)) {
    case ItemKind::Error: return filter.errors ? ExportedAs::Error : ExportedAs::Nothing;
    case ItemKind::FileNameHit: return filter.fileNames ? ExportedAs::FileNameHit : ExportedAs::Nothing;
    case ItemKind::DirNameHit: return filter.dirNames ? ExportedAs::DirNameHit : ExportedAs::Nothing;
    case ItemKind::File:
    case ItemKind::Document: return filter.hits && filter.withoutHits ? ExportedAs::FileWithoutHits : ExportedAs::Nothing;
    default: return ExportedAs::Nothing;
    }
}

const char* ContextWordOf(ExportedAs as)
{
    switch (as) {
    case ExportedAs::Error: return "FEHLER";
    case ExportedAs::FileNameHit: return "DATEINAMEN";
    case ExportedAs::DirNameHit: return "VERZEICHNISNAMEN";
    default: return "";
    }
}

}  // namespace tarnwick
