#pragma once
// What the two zip-package formats share: one XML part of the package holds
// the main story; replace() edits that part's XML, reads again the
// paragraph the edit lay in, checks that it reads exactly as intended and
// puts it into the story in place of the old one (a document whose edit did
// not read back as intended is never changed again nor saved). Should the
// paragraph alone not tell (its reading depends on what surrounds it), the
// whole story is read again and checked instead. save() writes back only
// that part. The subclasses read and edit their own markup. Not thread-safe.
#include <optional>
#include <string>
#include <vector>

#include <pugixml.hpp>

#include "word/format/DocumentFormat.h"
#include "word/package/XmlPart.h"
#include "word/package/ZipPackage.h"
#include "word/story/EditChecks.h"

namespace tarnwick::word {

class XmlPackageFormat : public DocumentFormat {
public:
    const StoryText& mainStory() const override { return m_story; }
    void replace(std::int64_t start, std::int64_t end, const std::u16string& text) override;
    void save() override;

    // How many replacements had to read the whole story again because the
    // edited paragraph alone could not tell (for diagnostics and tests).
    std::size_t fullRereads() const { return m_fullRereads; }

    // The longest story replace() lets an edit make: positions are 32-bit.
    static constexpr std::int64_t kMaxStoryLength = 0x7FFFFFFF - 1;

protected:
    explicit XmlPackageFormat(const std::string& path) : m_package(path) {}

    // Parses the story part `name` of the package and reads the story.
    void loadStoryPart(const std::string& name, const std::string& bytes);
    // Reads the story from the parsed part.
    virtual void readStory(StoryText& story, std::vector<pugi::xml_node>& nodes) const = 0;
    // Reads the one paragraph element `paragraph` of the part as a story of
    // its own; false when the node is no paragraph.
    virtual bool readParagraph(pugi::xml_node paragraph, StoryText& story, std::vector<pugi::xml_node>& nodes) const = 0;
    // Changes the part's XML for the replacement of [start, end).
    virtual void editStory(std::int64_t start, std::int64_t end, const std::u16string& text) = 0;

    ZipPackage m_package;
    std::string m_partName;
    XmlPart m_part;
    StoryText m_story;
    // The element or text node each unit's source names. Entries of
    // paragraphs replaced by splicing stay unused until compactNodes().
    std::vector<pugi::xml_node> m_nodes;

private:
    struct EditedParagraph {
        ParagraphSpan span;
        pugi::xml_node element;  // the paragraph element that holds all of span
    };

    // The paragraph an edit of [start, end) will change, when one element
    // holds all of it.
    std::optional<EditedParagraph> paragraphAround(std::int64_t start, std::int64_t end) const;
    // Puts the edited paragraph, read again, into the story; false (story
    // unchanged) when the paragraph alone does not read as intended.
    bool spliceParagraph(const EditedParagraph& paragraph, std::int64_t start, std::int64_t end, const std::u16string& text);
    void rereadStory(std::int64_t start, std::int64_t end, const std::u16string& text);
    // Drops the unused entries of m_nodes and renumbers the sources.
    void compactNodes();

    bool m_changed = false;
    bool m_broken = false;  // an edit did not read back as intended: never saved
    std::size_t m_unusedNodes = 0;
    std::size_t m_fullRereads = 0;
};

}  // namespace tarnwick::word
