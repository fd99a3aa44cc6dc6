#include "engine/undo/UndoTexts.h"

namespace tarnwick {

std::string UndoQuestion(const JournalInfo& journal, const std::string& when)
{
    return "Den letzten Lauf (" + std::string(RunKindText(journal.kind)) + " vom " + when + ": " +
        std::to_string(journal.fileCount()) + " Dateien, " + std::to_string(journal.renameCount()) +
        " Umbenennungen) rückgängig machen?\n\nDateien, die seit dem Lauf geändert wurden, bleiben unberührt.";
}

std::string UndoMessage(const UndoReport& report, std::size_t lines)
{
    std::string text = report.summary();
    if (report.leftAlone.empty()) return text;
    text += "\n\nNicht wiederhergestellt:";
    for (std::size_t i = 0; i < report.leftAlone.size() && i < lines; ++i) text += "\n" + report.leftAlone[i];
    if (report.leftAlone.size() > lines) text += "\n... und " + std::to_string(report.leftAlone.size() - lines) + " weitere";
    return text;
}

}  // namespace tarnwick
