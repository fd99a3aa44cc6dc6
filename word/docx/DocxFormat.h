#pragma once
// A WordprocessingML package opened for search and replace: the main part
// (found through the package's officeDocument relationship) is parsed once;
// replace() edits its XML and updates the story; save() writes back only
// that part, every other entry of the package byte for byte as it was.
// Tracked-change recording is not emulated: edits are written as plain
// edits even when the document records revisions. Not thread-safe.
#include <string>
#include <vector>

#include <pugixml.hpp>

#include "word/docx/DocxStoryReader.h"
#include "word/package/XmlPackageFormat.h"

namespace tarnwick::word {

class DocxFormat final : public XmlPackageFormat {
public:
    // Throws ServerError for a file that is not a readable WordprocessingML package.
    explicit DocxFormat(const std::string& path);

private:
    void readStory(StoryText& story, std::vector<pugi::xml_node>& nodes) const override;
    bool readParagraph(pugi::xml_node paragraph, StoryText& story, std::vector<pugi::xml_node>& nodes) const override;
    bool readsRuns() const override { return true; }
    bool readRuns(const EditedRuns& runs, StoryText& story, std::vector<pugi::xml_node>& nodes) const override;
    void editStory(std::int64_t start, std::int64_t end, const std::u16string& text) override;

    RelationshipTargets m_links;
};

}  // namespace tarnwick::word
