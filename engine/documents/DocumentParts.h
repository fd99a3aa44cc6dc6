#pragma once
// The names the results give the parts of a document besides its main text
// ("Kopfzeile", "Fußnote 3", "Textfeld 1", ...), and the story a name stands
// for. Notes, comments and text boxes are always numbered, as a reader sees
// them numbered; a header or footer only when the document has more than
// one, since most have just the one.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "word/automation/StoryId.h"

namespace tarnwick {

// The name of `id` among the document's stories `all`; empty for the main text.
std::string DocumentPartName(word::StoryId id, const std::vector<word::StoryId>& all);
// The stories a document's parts are named among: those it read and the
// single ones it could not read, so that a header keeps its number beside a
// damaged one.
std::vector<word::StoryId> NamedStories(std::vector<word::StoryId> read, const std::vector<word::UnreadableStories>& unreadable);
// The name of stories that could not be read: the one story's name among
// `all` (NamedStories), or the names of all parts of their kinds.
std::string UnreadablePartName(const word::UnreadableStories& unreadable, const std::vector<word::StoryId>& all);
// The story a name stands for; the main text for an empty name, nothing for
// a name that is none of these.
std::optional<word::StoryId> DocumentPartOfName(std::string_view name);

// A story's text for a preview of its changes: each paragraph of a part
// besides the main text begins with the part's name and ": ", so that a
// changed line says where it lies.
std::u16string LabelledPartText(std::u16string_view part, std::u16string_view text);

}  // namespace tarnwick
