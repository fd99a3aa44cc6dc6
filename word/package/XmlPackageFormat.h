#pragma once
// What the two zip-package formats share: XML parts of the package hold the
// stories (the main story in the main part, headers, notes, comments and
// text boxes in it or in other parts); replace() edits a story's XML, reads
// again the runs the edit touched (where the format offers that) or else the
// paragraph it lay in, checks that they read exactly as intended and puts
// them into the story in place of the old ones (a document whose edit did
// not read back as intended is never changed again nor saved). Reading only
// the runs keeps a replace-all linear in one long paragraph. Should that
// piece alone not tell (its reading depends on what surrounds it), the whole
// story is read again and checked instead. save() writes back only the
// parts that changed, in one rewrite of the package. The subclasses read and
// edit their own markup and find their stories. Not thread-safe.
#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <pugixml.hpp>

#include "word/automation/Automation.h"
#include "word/format/DocumentFormat.h"
#include "word/package/XmlPart.h"
#include "word/package/ZipPackage.h"
#include "word/story/EditChecks.h"

namespace tarnwick::word {

class XmlPackageFormat : public DocumentFormat {
public:
    const StoryText& mainStory() const override { return m_main->text; }
    void replace(std::int64_t start, std::int64_t end, const std::u16string& text) override;
    std::vector<StoryId> stories() override;
    std::vector<UnreadableStories> unreadableStories() override;
    const StoryText& story(StoryId id) override { return storyOf(id).text; }
    void replaceIn(StoryId id, std::int64_t start, std::int64_t end, const std::u16string& text) override;
    void save() override;

    // How many replacements had to read the whole story again because the
    // edited paragraph alone could not tell (for diagnostics and tests).
    std::size_t fullRereads() const { return m_fullRereads; }

    // The longest story replace() lets an edit make: positions are 32-bit.
    static constexpr std::int64_t kMaxStoryLength = 0x7FFFFFFF - 1;

protected:
    explicit XmlPackageFormat(const std::string& path) : m_package(path) {}

    // A parsed part of the package.
    struct Part {
        std::string name;
        XmlPart xml;
        bool changed = false;
    };

    // One story: where it lies and what it reads as.
    struct Story {
        StoryId id;
        Part* part = nullptr;
        // The element whose content the story is; null for the main story,
        // which the format finds in its part itself.
        pugi::xml_node root;
        StoryText text;
        // The element or text node each unit's source names. Entries of
        // paragraphs replaced by splicing stay unused until compactNodes().
        std::vector<pugi::xml_node> nodes;
        std::size_t unusedNodes = 0;
        // A second copy of the same text that every edit goes to as well
        // (the fallback a writer keeps for readers that do not know the
        // markup of the first), while it reads exactly as this story.
        Story* mirror = nullptr;
        // A second copy is there but does not read as this story: an edit
        // would leave the two different, so none is made.
        bool unmatchedCopy = false;
        // Why the story could not be read (its part is damaged, or its
        // text); such a story keeps its number but is not searched.
        std::optional<ServerError> failure;
    };

    // Parses the main part `name` of the package and reads the main story.
    void loadStoryPart(const std::string& name, const std::string& bytes);
    // The parsed part `name`, parsed on the first call; null when the
    // package has no such entry. Throws ServerError for a part that cannot
    // be read, and asked again, throws again.
    Part* partNamed(const std::string& name);
    // Adds a story of `kind` under `root` of `part`, read at once; stories are
    // added in document order and numbered per kind when all are there. A
    // story whose text cannot be read is added as unreadable.
    Story& addStory(StoryKind kind, Part& part, pugi::xml_node root);
    // Adds the one story of `kind` a part held that cannot be read, in its
    // place in document order, so that the stories after it keep their numbers.
    void addUnreadableStory(StoryKind kind, const ServerError& error);
    // Records that a part holding every story of `kinds` cannot be read.
    void addUnreadableStories(std::vector<StoryKind> kinds, const ServerError& error);
    // Makes the content of `root` the mirror of `story`, if it reads exactly
    // as the story (else the story takes no edits); the mirror is no story
    // of its own.
    void addMirror(Story& story, pugi::xml_node root);
    // Adds the stories besides the main one (addStory); called once, by the
    // first stories().
    virtual void findOtherStories() = 0;

    // Reads `story` from its part.
    virtual void readStory(const Story& story, StoryText& text, std::vector<pugi::xml_node>& nodes) const = 0;
    // Reads the one paragraph element `paragraph` of the story's part as a
    // story of its own; false when the node is no paragraph.
    virtual bool readParagraph(const Story& story, pugi::xml_node paragraph, StoryText& text,
                               std::vector<pugi::xml_node>& nodes) const = 0;
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
    // The runs an edit of [start, end) of `story` will change, looked up
    // before the edit; none when they cannot be read alone. By default the
    // elements holding the span's units (the parents of their sources).
    virtual std::optional<EditedRuns> runsAround(const Story& story, std::int64_t start, std::int64_t end) const;
    // Reads the runs, after the edit, as a piece of a story; false when it cannot.
    virtual bool readRuns(const Story& /*story*/, const EditedRuns& /*runs*/, StoryText& /*text*/,
                          std::vector<pugi::xml_node>& /*nodes*/) const
    {
        return false;
    }
    // Changes the part's XML for the replacement of [start, end) of `story`.
    virtual void editStory(const Story& story, std::int64_t start, std::int64_t end, const std::u16string& text) = 0;

    ZipPackage m_package;
    Story* m_main = nullptr;

private:
    struct EditedParagraph {
        ParagraphSpan span;
        pugi::xml_node element;  // the paragraph element that holds all of span
    };

    Story& storyOf(StoryId id);
    void replaceInStory(Story& story, std::int64_t start, std::int64_t end, const std::u16string& text);
    // The paragraph an edit of [start, end) will change, when one element
    // holds all of it.
    std::optional<EditedParagraph> paragraphAround(const Story& story, std::int64_t start, std::int64_t end) const;
    bool spliceRuns(Story& story, const EditedRuns& runs, std::int64_t start, std::int64_t end, const std::u16string& text);
    // Puts `part`, read again for the units `span` of the story, into the
    // story; false (story unchanged) when it does not read as intended.
    bool splicePart(Story& story, const ParagraphSpan& span, StoryText& part, const std::vector<pugi::xml_node>& nodes,
                    std::int64_t start, std::int64_t end, const std::u16string& text);
    // Puts the edited paragraph, read again, into the story; false (story
    // unchanged) when the paragraph alone does not read as intended.
    bool spliceParagraph(Story& story, const EditedParagraph& paragraph, std::int64_t start, std::int64_t end,
                         const std::u16string& text);
    void rereadStory(Story& story, std::int64_t start, std::int64_t end, const std::u16string& text);
    // Drops the unused entries of the story's nodes and renumbers the sources.
    static void compactNodes(Story& story);

    std::deque<Part> m_parts;
    std::deque<Story> m_stories;  // in document order, the main story first
    std::deque<Story> m_mirrors;
    std::vector<Story*> m_order;  // in search order, once all are found; the readable ones
    std::vector<UnreadableStories> m_unreadableParts;  // parts that held stories of a kind
    bool m_broken = false;  // an edit did not read back as intended: never saved
    std::size_t m_fullRereads = 0;
};

}  // namespace tarnwick::word
