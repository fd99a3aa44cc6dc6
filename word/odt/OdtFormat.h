#pragma once
// An OpenDocument text package opened for search and replace: content.xml
// is parsed once; replace() edits it and updates the story; save() writes
// back only content.xml, so `mimetype` stays the first, stored entry and
// the manifest and every other entry stay byte for byte as they were.
// Encrypted packages are refused. Not thread-safe.
#include <string>
#include <vector>

#include <pugixml.hpp>

#include "word/package/XmlPackageFormat.h"

namespace tarnwick::word {

class OdtFormat final : public XmlPackageFormat {
public:
    // Throws ServerError for a file that is not a readable OpenDocument text package.
    explicit OdtFormat(const std::string& path);

private:
    void readStory(StoryText& story, std::vector<pugi::xml_node>& nodes) const override;
    bool readParagraph(pugi::xml_node paragraph, StoryText& story, std::vector<pugi::xml_node>& nodes) const override;
    void editStory(std::int64_t start, std::int64_t end, const std::u16string& text) override;
};

}  // namespace tarnwick::word
