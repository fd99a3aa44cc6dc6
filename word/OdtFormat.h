#pragma once
// An OpenDocument text package opened for search and replace: content.xml
// is parsed once; replace() edits it and rebuilds the story; save() writes
// back only content.xml, so `mimetype` stays the first, stored entry and
// the manifest and every other entry stay byte for byte as they were.
// Encrypted packages are refused. Not thread-safe.
#include <string>
#include <vector>

#include <pugixml.hpp>

#include "word/DocumentFormat.h"
#include "word/XmlPart.h"
#include "word/ZipPackage.h"

namespace tarnwick::word {

class OdtFormat : public DocumentFormat {
public:
    // Throws ServerError for a file that is not a readable OpenDocument text package.
    explicit OdtFormat(const std::string& path);

    const StoryText& mainStory() const override { return m_story; }
    void replace(std::int64_t start, std::int64_t end, const std::u16string& text) override;
    void save() override;

private:
    ZipPackage m_package;
    XmlPart m_part;
    StoryText m_story;
    std::vector<pugi::xml_node> m_nodes;
    bool m_changed = false;
    bool m_broken = false;  // an edit did not read back as intended: never saved
};

}  // namespace tarnwick::word
