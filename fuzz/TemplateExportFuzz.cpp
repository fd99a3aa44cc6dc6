// Fills an arbitrary template over a small fixed result list that holds
// every kind of item; the first byte picks the exported kinds.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "results/ResultList.h"
#include "results/TemplateFiller.h"

using namespace tarnwick;

namespace {

const ResultList& fixedList()
{
    static ResultList* list = [] {
        auto* l = new ResultList;
        l->AddFileItem("Suche nach !SUCHEN!", ItemKind::Info);
        l->AddNoteItem("/d/a !KONTEXT!.txt", ItemKind::File, 4);
        l->AddHitItem(12, 1, "ab !POS! cd", 3, ItemKind::None, -1);
        l->AddHitItem(40, 1, "!DAT_START!x!DAT_STOP! !FEHLER!", 1, ItemKind::None, -1);
        l->AddNoteItem("/d/b.txt", ItemKind::File, 1);
        l->AddHitItem(7, 1, "!ANZ_IN_DAT!", 0, ItemKind::None, -1);
        l->UpdateCurrentFileItem(ResultColumn::Remark, UpdateWhat::TextAndKind, "!DATEINAME!", ItemKind::Error);
        const ItemHandle error = l->AddFileItem("/d/c.txt", ItemKind::Error);
        l->SetItemColumnText(error, "Kann Datei nicht öffnen", ResultColumn::Remark);
        l->AddFileItem("/d/x.txt", ItemKind::FileNameHit);
        l->AddFileItem("/d/x", ItemKind::DirNameHit);
        l->AddFileItem("/d/w.docx", ItemKind::Document);
        l->AddHitItem(5, 1, "Text x", 5, ItemKind::None, -1);
        return l;
    }();
    return *list;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0) return 0;
    ExportFilter filter;
    filter.hits = data[0] & 1;
    filter.errors = data[0] & 2;
    filter.fileNames = data[0] & 4;
    filter.dirNames = data[0] & 8;
    const std::string_view templateText(reinterpret_cast<const char*>(data) + 1, size - 1);

    RunValues run;
    run.searchPath = "/d !SUCHEN!";
    run.searchText = "x";
    run.replacementText = "!LISTE_START!";
    run.filesSearched = 3;
    const std::string output = FillTemplate(templateText, run, fixedList(), filter);

    // Without a single '!' there is nothing to replace.
    if (templateText.find('!') == std::string_view::npos && output != templateText) std::abort();
    // Each item's copy is at most the template with every placeholder filled,
    // so the output stays within a fixed multiple of the template.
    if (output.size() > 64 * (templateText.size() + 64) + 4096) std::abort();
    return 0;
}
