// The CSV format of the export: four fields per line, no header, no quoting.
#include "results/ExportFile.h"
#include "results/ExportSelection.h"
#include "results/ResultsExport.h"

namespace tarnwick {
namespace {

// Lines are collected up to this size before they go to the file, so that a
// million hits take a few hundred writes; only whole lines are ever written.
constexpr std::size_t kFlushSize = 1 << 16;

void appendLine(std::string& out, std::string_view sep, std::string_view a, std::string_view b, std::string_view c,
                std::string_view d)
{
    out.append(a).append(sep).append(b).append(sep).append(c).append(sep).append(d).append("\r\n");
}

}  // namespace

ExportOutcome ExportCsv(const std::string& targetPath, const std::string& separator, const ResultList& list,
                        const ExportFilter& filter)
{
    ExportFile file;
    if (const std::error_code rc = file.create(targetPath)) return {false, ExportFailureMessage(targetPath, rc)};

    std::string pending;
    auto flush = [&]() -> std::error_code {
        const std::error_code rc = file.write(pending);
        pending.clear();
        return rc;
    };
    const std::size_t count = list.TopLevelCount();
    for (std::size_t row = 0; row < count; ++row) {
        const ItemHandle item = list.TopLevelItem(row);
        const ExportedAs as = ClassifyForExport(list, item, filter);
        if (as == ExportedAs::Nothing) continue;
        if (as == ExportedAs::FileWithHits) {
            const std::string path = list.ColumnText(item, ResultColumn::FileOrContext);
            for (ItemHandle hit = list.FirstChild(item); hit != kNoItem; hit = list.NextSibling(hit)) {
                appendLine(pending, separator, path, list.ColumnText(hit, ResultColumn::Position),
                           list.ColumnText(hit, ResultColumn::FileOrContext), list.ColumnText(hit, ResultColumn::Remark));
                if (pending.size() >= kFlushSize)
                    if (const std::error_code rc = flush()) return {false, ExportFailureMessage(targetPath, rc)};
            }
        } else {
            appendLine(pending, separator, list.ColumnText(item, ResultColumn::FileOrContext), {}, {},
                       list.ColumnText(item, ResultColumn::Remark));
        }
        if (pending.size() >= kFlushSize)
            if (const std::error_code rc = flush()) return {false, ExportFailureMessage(targetPath, rc)};
    }
    if (const std::error_code rc = flush()) return {false, ExportFailureMessage(targetPath, rc)};
    if (const std::error_code rc = file.close()) return {false, ExportFailureMessage(targetPath, rc)};
    return {true, {}};
}

}  // namespace tarnwick
