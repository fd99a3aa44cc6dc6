#include "word/automation/Automation.h"

#include "word/automation/WordErrors.h"

namespace tarnwick::word {

void Range::SetText(const std::u16string&)
{
    Refuse(kErrorUnsupported, "Der Text eines Bereichs kann hier nur über die Markierung ersetzt werden.");
}

void Range::Select() { Refuse(kErrorUnsupported, "Ein Bereich kann hier nicht markiert werden."); }

std::vector<StoryId> Document::Stories() { return {StoryId{}}; }

Range& Document::StoryRange(StoryId id)
{
    if (!id.isMainText()) Refuse(kErrorNoSuchStory, "Das Dokument bietet nur seinen Haupttext an.");
    return StoryRange(kMainTextStory);
}

}  // namespace tarnwick::word
