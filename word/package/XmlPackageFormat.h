#pragma once
// What the two zip-package formats share: one XML part of the package holds
// the main story; replace() edits that part's XML, reads again the runs the
// edit touched (where the format offers that) or else the paragraph it lay
// in, checks that they read exactly as intended and puts them into the
// story in place of the old ones (a document whose edit did not read back
// as intended is never changed again nor saved). Reading only the runs keeps
// a replace-all linear in one long paragraph. Should that piece alone not
// tell (its reading depends on what surrounds it), the whole story is read
// again and checked instead. save() writes back only
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
    // The runs an edit of [start, end) will change: the units of the
    // elements (children of one parent) that hold the span's units.
    struct EditedRuns {
        ParagraphSpan span;  // first unit to last unit, inclusive
        // The first and last run; a format whose edits may replace those
        // nodes names the untouched siblings around them instead (null: the
        // ends of `parent`).
        pugi::xml_node first;
        pugi::xml_node last;
        pugi::xml_node parent;
        // Whether white space read just before and at the end of the piece
        // swallows the white space after it (formats that collapse blanks).
        bool blankBefore = false;
        bool blankAtEnd = false;
    };

    // True when the format reads pieces smaller than a paragraph: readRuns().
    virtual bool readsRuns() const { return false; }
    // The runs an edit of [start, end) will change, looked up before the
    // edit; none when they cannot be read alone. By default the elements
    // holding the span's units (the parents of their sources).
    virtual std::optional<EditedRuns> runsAround(std::int64_t start, std::int64_t end) const;
    // Reads the runs, after the edit, as a piece of a story; false when it cannot.
    virtual bool readRuns(const EditedRuns& /*runs*/, StoryText& /*story*/, std::vector<pugi::xml_node>& /*nodes*/) const
    {
        return false;
    }
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
    bool spliceRuns(const EditedRuns& runs, std::int64_t start, std::int64_t end, const std::u16string& text);
    // Puts `part`, read again for the units `span` of the story, into the
    // story; false (story unchanged) when it does not read as intended.
    bool splicePart(const ParagraphSpan& span, StoryText& part, const std::vector<pugi::xml_node>& nodes, std::int64_t start,
                    std::int64_t end, const std::u16string& text);
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
