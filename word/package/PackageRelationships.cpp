#include "word/package/PackageRelationships.h"

#include "word/package/XmlPart.h"

namespace tarnwick::word {
namespace {

int hexValue(char c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

std::string percentDecoded(std::string_view text)
{
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size() && hexValue(text[i + 1]) >= 0 && hexValue(text[i + 2]) >= 0) {
            out.push_back(static_cast<char>(hexValue(text[i + 1]) * 16 + hexValue(text[i + 2])));
            i += 2;
        } else {
            out.push_back(text[i]);
        }
    }
    return out;
}

std::string_view localName(std::string_view name)
{
    const auto colon = name.find(':');
    return colon == std::string_view::npos ? name : name.substr(colon + 1);
}

}  // namespace

std::vector<Relationship> ParseRelationships(std::string_view bytes, const std::string& partName)
{
    XmlPart part;
    part.load(bytes, partName);
    std::vector<Relationship> relationships;
    for (const pugi::xml_node node : part.document().document_element().children()) {
        if (node.type() != pugi::node_element || localName(node.name()) != "Relationship") continue;
        Relationship r;
        r.id = node.attribute("Id").value();
        r.type = node.attribute("Type").value();
        r.target = node.attribute("Target").value();
        r.external = std::string_view(node.attribute("TargetMode").value()) == "External";
        relationships.push_back(std::move(r));
    }
    return relationships;
}

std::string ResolvePartName(std::string_view sourceFolder, std::string_view target)
{
    std::string path = percentDecoded(target);
    if (!path.empty() && path.front() == '/')
        path.erase(0, 1);
    else
        path = std::string(sourceFolder) + path;

    std::vector<std::string> segments;
    std::size_t begin = 0;
    while (begin <= path.size()) {
        std::size_t slash = path.find('/', begin);
        if (slash == std::string::npos) slash = path.size();
        const std::string segment = path.substr(begin, slash - begin);
        if (segment == "..") {
            if (segments.empty()) return {};
            segments.pop_back();
        } else if (!segment.empty() && segment != ".") {
            segments.push_back(segment);
        }
        begin = slash + 1;
    }
    std::string name;
    for (const std::string& segment : segments) name += (name.empty() ? "" : "/") + segment;
    return name;
}

std::string RelationshipsPartOf(std::string_view partName)
{
    const std::string folder = FolderOf(partName);
    return folder + "_rels/" + std::string(partName.substr(folder.size())) + ".rels";
}

std::string FolderOf(std::string_view partName)
{
    const auto slash = partName.rfind('/');
    return slash == std::string_view::npos ? std::string() : std::string(partName.substr(0, slash + 1));
}

}  // namespace tarnwick::word
