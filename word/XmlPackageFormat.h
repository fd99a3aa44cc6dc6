#pragma once
// What the two zip-package formats share: one XML part of the package holds
// the main story; replace() edits that part's XML, reads the story again and
// checks that it reads back exactly as intended (a document whose edit did
// not is never changed again nor saved); save() writes back only that part.
// The subclasses read and edit their own markup. Not thread-safe.
#include <string>
#include <vector>

#include <pugixml.hpp>

#include "word/DocumentFormat.h"
#include "word/XmlPart.h"
#include "word/ZipPackage.h"

namespace tarnwick::word {

class XmlPackageFormat : public DocumentFormat {
public:
    const StoryText& mainStory() const override { return m_story; }
    void replace(std::int64_t start, std::int64_t end, const std::u16string& text) override;
    void save() override;

protected:
    explicit XmlPackageFormat(const std::string& path) : m_package(path) {}

    // Parses the story part `name` of the package and reads the story.
    void loadStoryPart(const std::string& name, const std::string& bytes);
    // Reads the story from the parsed part.
    virtual void readStory(StoryText& story, std::vector<pugi::xml_node>& nodes) const = 0;
    // Changes the part's XML for the replacement of [start, end).
    virtual void editStory(std::int64_t start, std::int64_t end, const std::u16string& text) = 0;

    ZipPackage m_package;
    std::string m_partName;
    XmlPart m_part;
    StoryText m_story;
    std::vector<pugi::xml_node> m_nodes;

private:
    bool m_changed = false;
    bool m_broken = false;  // an edit did not read back as intended: never saved
};

}  // namespace tarnwick::word
