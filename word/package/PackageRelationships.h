#pragma once
// The relationship parts of an Open Packaging Conventions package
// (_rels/.rels, word/_rels/document.xml.rels): which part is the main
// document, and where a relationship id points.
#include <string>
#include <string_view>
#include <vector>

namespace tarnwick::word {

struct Relationship {
    std::string id;
    std::string type;
    std::string target;
    bool external = false;
};

// Parses a relationships part. Throws ServerError (kErrorDamaged) when it is
// not well-formed XML.
std::vector<Relationship> ParseRelationships(std::string_view bytes, const std::string& partName);

// The part name (no leading slash) a relative `target` of a part in
// `sourceFolder` ("" for the package root, "word/" for word/document.xml)
// refers to, with "." and ".." resolved and %-escapes decoded. Empty when
// the target leaves the package.
std::string ResolvePartName(std::string_view sourceFolder, std::string_view target);

// The relationships part that belongs to `partName`.
std::string RelationshipsPartOf(std::string_view partName);

// The folder of a part name, with its trailing slash ("" at the root).
std::string FolderOf(std::string_view partName);

}  // namespace tarnwick::word
