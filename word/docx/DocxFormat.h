#pragma once
// A WordprocessingML package opened for search and replace: the main part
// (found through the package's officeDocument relationship) is parsed once;
// the parts of its other stories (headers and footers named by the section
// properties, footnotes, endnotes, comments) when they are first asked for.
// replace() edits a story's XML and updates the story; save() writes back
// only the parts that changed, every other entry of the package byte for
// byte as it was. A text box a writer also kept as a fallback for older
// readers (mc:AlternateContent) is one story whose edits go to both copies.
// Tracked-change recording is not emulated: edits are written as plain
// edits even when the document records revisions. Not thread-safe.
#include <map>
#include <string>
#include <vector>

#include <pugixml.hpp>

#include "word/docx/DocxStoryReader.h"
#include "word/package/PackageRelationships.h"
#include "word/package/XmlPackageFormat.h"

namespace tarnwick::word {

class DocxFormat final : public XmlPackageFormat {
public:
    // Throws ServerError for a file that is not a readable WordprocessingML package.
    explicit DocxFormat(const std::string& path);

private:
    void findOtherStories() override;
    void readStory(const Story& story, StoryText& text, std::vector<pugi::xml_node>& nodes) const override;
    bool readParagraph(const Story& story, pugi::xml_node paragraph, StoryText& text,
                       std::vector<pugi::xml_node>& nodes) const override;
    bool readsRuns() const override { return true; }
    bool readRuns(const Story& story, const EditedRuns& runs, StoryText& text, std::vector<pugi::xml_node>& nodes) const override;
    void editStory(const Story& story, std::int64_t start, std::int64_t end, const std::u16string& text) override;

    const RelationshipTargets& linksOf(const Story& story) const;
    // The name of the part a relationship of the main part points to; empty
    // for none.
    std::string relatedPartName(const std::string& id) const;
    // The part `name` with its relationships; null when it is not in the
    // package. Throws ServerError when it cannot be read.
    Part* loadRelated(const std::string& name);
    Part* relatedPartOfType(std::string_view typeSuffix);
    // The stories of the notes (w:footnote or w:endnote) of the notes part
    // the main part relates to by a type ending in `typeSuffix`.
    void addNotes(std::string_view typeSuffix, std::string_view element, StoryKind kind);
    // The text boxes of `root` and what lies below it, in document order.
    void addTextBoxes(Part& part, pugi::xml_node root);

    std::string m_mainPart;
    std::vector<Relationship> m_relationships;  // of the main part
    // The external targets of each part's relationships, by part name.
    std::map<std::string, RelationshipTargets> m_links;
};

}  // namespace tarnwick::word
