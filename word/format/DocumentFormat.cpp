#include "word/format/DocumentFormat.h"

#include "word/automation/WordErrors.h"

namespace tarnwick::word {

[[noreturn]] void RefuseStory(StoryId id)
{
    Refuse(kErrorNoSuchStory,
           "Der Textbereich " + std::to_string(static_cast<int>(id.kind)) + "/" + std::to_string(id.number) +
               " ist nicht vorhanden.");
}

std::vector<StoryId> DocumentFormat::stories() { return {StoryId{}}; }

const StoryText& DocumentFormat::story(StoryId id)
{
    if (!id.isMainText() || id.number != 1) RefuseStory(id);
    return mainStory();
}

void DocumentFormat::replaceIn(StoryId id, std::int64_t start, std::int64_t end, const std::u16string& text)
{
    if (!id.isMainText() || id.number != 1) RefuseStory(id);
    replace(start, end, text);
}

}  // namespace tarnwick::word
