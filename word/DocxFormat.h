#pragma once
// A WordprocessingML package opened for search and replace: the main part
// (found through the package's officeDocument relationship) is parsed once;
// replace() edits its XML and rebuilds the story; save() writes back only
// that part, every other entry of the package byte for byte as it was.
// Tracked-change recording is not emulated: edits are written as plain
// edits even when the document records revisions. Not thread-safe.
#include <string>
#include <vector>

#include <pugixml.hpp>

#include "word/DocumentFormat.h"
#include "word/DocxStoryReader.h"
#include "word/XmlPart.h"
#include "word/ZipPackage.h"

namespace tarnwick::word {

class DocxFormat : public DocumentFormat {
public:
    // Throws ServerError for a file that is not a readable WordprocessingML package.
    explicit DocxFormat(const std::string& path);

    const StoryText& mainStory() const override { return m_story; }
    void replace(std::int64_t start, std::int64_t end, const std::u16string& text) override;
    void save() override;

private:
    ZipPackage m_package;
    std::string m_mainPart;
    RelationshipTargets m_links;
    XmlPart m_part;
    StoryText m_story;
    std::vector<pugi::xml_node> m_nodes;
    bool m_changed = false;
    bool m_broken = false;  // an edit did not read back as intended: never saved
};

}  // namespace tarnwick::word
