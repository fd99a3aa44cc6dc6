// The cells' text of an .xlsx/.xlsm workbook: shared strings, inline strings
// and the text results of formulas, sheet by sheet in the workbook's order.
// Numbers are stored unformatted (0.1 as 0.10000000000000001), so their
// stored form is not the text a user sees and is left out.
#include <charconv>

#include "engine/inside/OoxmlParts.h"
#include "engine/inside/OoxmlText.h"
#include "engine/inside/XmlLocalNames.h"

namespace tarnwick::inside {
namespace {

// The text of a shared string item or an inline string: its t elements,
// rich-text runs included, phonetic guides (rPh) left out.
void appendStringItem(const pugi::xml_node& item, std::string& text)
{
    for (const pugi::xml_node child : item.children()) {
        if (child.type() != pugi::node_element) continue;
        const std::string_view name = LocalName(child);
        if (name == "t")
            text += child.text().get();
        else if (name == "r")
            appendStringItem(child, text);
    }
}

std::vector<std::string> sharedStrings(const OoxmlParts& parts)
{
    std::vector<std::string> strings;
    const std::string name = parts.targetOfType("/sharedStrings");
    if (name.empty()) return strings;
    word::XmlPart part;
    parts.load(part, name);
    for (const pugi::xml_node item : part.document().document_element().children()) {
        if (item.type() != pugi::node_element || LocalName(item) != "si") continue;
        appendStringItem(item, strings.emplace_back());
    }
    return strings;
}

std::string cellText(const pugi::xml_node& cell, const std::vector<std::string>& strings)
{
    const std::string_view type = cell.attribute("t").value();
    std::string text;
    if (type == "s") {
        const std::string_view index = ChildNamed(cell, "v").text().get();
        std::size_t number = 0;
        const auto [end, error] = std::from_chars(index.data(), index.data() + index.size(), number);
        if (error == std::errc() && end == index.data() + index.size() && number < strings.size()) text = strings[number];
    } else if (type == "inlineStr") {
        appendStringItem(ChildNamed(cell, "is"), text);
    } else if (type == "str") {
        text = ChildNamed(cell, "v").text().get();
    }
    return text;
}

std::string sheetText(const pugi::xml_node& worksheet, const std::vector<std::string>& strings)
{
    std::string text;
    for (const pugi::xml_node row : ChildNamed(worksheet, "sheetData").children()) {
        if (row.type() != pugi::node_element || LocalName(row) != "row") continue;
        std::string line;
        for (const pugi::xml_node cell : row.children()) {
            if (cell.type() != pugi::node_element || LocalName(cell) != "c") continue;
            const std::string value = cellText(cell, strings);
            if (value.empty()) continue;
            if (!line.empty()) line += '\t';
            line += value;
        }
        if (!line.empty()) text.append(line).append(1, '\n');
    }
    return text;
}

}  // namespace

std::vector<TextPage> ReadXlsxSheets(const word::ZipPackage& package)
{
    const OoxmlParts parts(package);
    const std::vector<std::string> strings = sharedStrings(parts);
    word::XmlPart workbook;
    parts.load(workbook, parts.mainPart());
    std::vector<TextPage> pages;
    const pugi::xml_node sheets = ChildNamed(workbook.document().document_element(), "sheets");
    for (const pugi::xml_node sheet : sheets.children()) {
        if (sheet.type() != pugi::node_element || LocalName(sheet) != "sheet") continue;
        const std::string name = parts.target(PrefixedAttribute(sheet, "id").value());
        // A chart sheet holds no cells; a sheet without a part, nothing.
        word::XmlPart part;
        if (name.empty() || !parts.loadIfPresent(part, name)) continue;
        const pugi::xml_node root = part.document().document_element();
        if (LocalName(root) != "worksheet") continue;
        pages.push_back({sheet.attribute("name").value(), sheetText(root, strings)});
    }
    return pages;
}

}  // namespace tarnwick::inside
