// The CSV format of the export: four fields per line, no header. A field is
// quoted only when a reader would otherwise split it: when it holds the
// separator, a double quote or a line end (RFC 4180: in double quotes, a
// double quote doubled). Every other field is written exactly as it is.
#include "results/ExportFile.h"
#include "results/ExportSelection.h"
#include "results/ResultsExport.h"

namespace tarnwick {
namespace {

// Lines are collected up to this size before they go to the file, so that a
// million hits take a few hundred writes; only whole lines are ever written.
constexpr std::size_t kFlushSize = 1 << 16;

bool needsQuotes(std::string_view field, std::string_view sep)
{
    return field.find_first_of("\"\r\n") != std::string_view::npos || (!sep.empty() && field.find(sep) != std::string_view::npos);
}

void appendField(std::string& out, std::string_view field, std::string_view sep)
{
    if (!needsQuotes(field, sep)) {
        out.append(field);
        return;
    }
    out.push_back('"');
    for (std::size_t quote = field.find('"'); quote != std::string_view::npos; quote = field.find('"')) {
        out.append(field.substr(0, quote + 1)).push_back('"');
        field.remove_prefix(quote + 1);
    }
    out.append(field).push_back('"');
}

void appendLine(std::string& out, std::string_view sep, std::string_view a, std::string_view b, std::string_view c,
                std::string_view d)
{
    appendField(out, a, sep);
    out.append(sep);
    appendField(out, b, sep);
    out.append(sep);
    appendField(out, c, sep);
    out.append(sep);
    appendField(out, d, sep);
    out.append("\r\n");
}

}  // namespace

Expected<void> ExportCsv(const std::string& targetPath, const std::string& separator, const ResultList& list,
                         const ExportFilter& filter)
{
    ExportFile file;
    if (const std::error_code rc = file.create(targetPath)) return exportFailure(targetPath, rc);

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
                    if (const std::error_code rc = flush()) return exportFailure(targetPath, rc);
            }
        } else {
            appendLine(pending, separator, list.ColumnText(item, ResultColumn::FileOrContext), {}, {},
                       list.ColumnText(item, ResultColumn::Remark));
        }
        if (pending.size() >= kFlushSize)
            if (const std::error_code rc = flush()) return exportFailure(targetPath, rc);
    }
    if (const std::error_code rc = flush()) return exportFailure(targetPath, rc);
    if (const std::error_code rc = file.close()) return exportFailure(targetPath, rc);
    return succeeded();
}

}  // namespace tarnwick
