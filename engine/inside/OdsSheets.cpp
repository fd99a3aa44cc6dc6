// The cells' text of an .ods spreadsheet, table by table in the document's
// order, each named by its table:name. A cell's text is its paragraphs as
// they are shown (numbers and dates formatted), so numbers are found as a
// user sees them. A cell or row repeated (table:number-columns-repeated,
// -rows-repeated) counts once: a sheet may repeat a cell a million times.
#include "engine/inside/OdfParagraphs.h"
#include "engine/inside/OdfText.h"
#include "engine/inside/XmlLocalNames.h"

namespace tarnwick::inside {
namespace {

std::string cellText(const pugi::xml_node& cell)
{
    std::string text;
    AppendParagraphs(cell, text);
    while (!text.empty() && text.back() == '\n') text.pop_back();
    return text;
}

// Rows lie directly in the table or in header and group elements.
void appendRows(const pugi::xml_node& node, std::string& text, int depth)
{
    if (depth > word::XmlPart::kMaxDepth) return;
    for (const pugi::xml_node child : node.children()) {
        if (child.type() != pugi::node_element) continue;
        const std::string_view name = LocalName(child);
        if (name != "table-row") {
            if (name.find("rows") != std::string_view::npos || name == "table-row-group") appendRows(child, text, depth + 1);
            continue;
        }
        std::string line;
        for (const pugi::xml_node cell : child.children()) {
            if (cell.type() != pugi::node_element) continue;
            const std::string_view cellName = LocalName(cell);
            if (cellName != "table-cell" && cellName != "covered-table-cell") continue;
            const std::string value = cellText(cell);
            if (value.empty()) continue;
            if (!line.empty()) line += '\t';
            line += value;
        }
        if (!line.empty()) text.append(line).append(1, '\n');
    }
}

}  // namespace

std::vector<TextPage> ReadOdsSheets(const word::ZipPackage& package)
{
    word::XmlPart content;
    const pugi::xml_node body = LoadOdfBody(package, content, "spreadsheet");
    std::vector<TextPage> pages;
    for (const pugi::xml_node table : body.children()) {
        if (table.type() != pugi::node_element || LocalName(table) != "table") continue;
        TextPage& page = pages.emplace_back();
        page.name = PrefixedAttribute(table, "name").value();
        appendRows(table, page.text, 0);
    }
    return pages;
}

}  // namespace tarnwick::inside
