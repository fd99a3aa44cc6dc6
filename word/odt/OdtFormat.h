#pragma once
// An OpenDocument text package opened for search and replace: content.xml
// is parsed once, styles.xml (which holds the headers and footers of the
// master pages) when the other stories are first asked for; replace()
// edits a story's XML and updates the story; save() writes back only the
// parts that changed, so `mimetype` stays the first, stored entry and the
// manifest and every other entry stay byte for byte as they were.
// Encrypted packages are refused. Not thread-safe.
#include <string>
#include <vector>

#include <pugixml.hpp>

#include "word/package/XmlNames.h"
#include "word/package/XmlPackageFormat.h"

namespace tarnwick::word {

class OdtFormat final : public XmlPackageFormat {
public:
    // Throws ServerError for a file that is not a readable OpenDocument text package.
    explicit OdtFormat(const std::string& path);

private:
    void findOtherStories() override;
    void readStory(const Story& story, StoryText& text, std::vector<pugi::xml_node>& nodes) const override;
    bool readParagraph(const Story& story, pugi::xml_node paragraph, StoryText& text,
                       std::vector<pugi::xml_node>& nodes) const override;
    // The children of the edited paragraph that hold the span, and the
    // later ones whose leading white space the edit may re-encode; read
    // between their untouched neighbours, since the edit may replace them.
    bool readsRuns() const override { return true; }
    std::optional<EditedRuns> runsAround(const Story& story, std::int64_t start, std::int64_t end) const override;
    bool readRuns(const Story& story, const EditedRuns& runs, StoryText& text, std::vector<pugi::xml_node>& nodes) const override;
    void editStory(const Story& story, std::int64_t start, std::int64_t end, const std::u16string& text) override;
};

}  // namespace tarnwick::word
