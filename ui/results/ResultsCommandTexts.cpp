#include "ui/results/ResultsCommandTexts.h"

#include <array>

namespace tarnwick::ui {

namespace {

using namespace ResultsCommandId;

constexpr std::array<ResultsCommandText, 9> kCommands{{
    {OpenInViewer, "In &Vorschau/Word öffnen",
     "Öffnet die ausgewählte Datei in der Vorschau bzw. Word und markiert das entsprechende Ergebnis\n"
     "In Vorschau öffnen"},
    {OpenWithProgram, "Markierte Datei &öffnen", "Öffnet die Datei mit dem verknüpften Programm\nÖffnen"},
    {OpenInExternalEditor, "In ex&ternem Editor öffnen",
     "Öffnet die Datei im externen Editor (Extras/Optionen) an der Zeile und Spalte des Treffers\nIn externem Editor öffnen"},
    {ReplaceMarked, "Ausgewählte Elemente &ersetzen",
     "Führt die Ersetzungen in den ausgewählten Ergebnissen durch.\nIn Ergebnissen ersetzen"},
    {MarkAll, "Alles &auswählen", "Alle Ergebnisse auswählen\nAlles auswählen"},
    {MarkNone, "&Nichts auswählen", "Hebt die Auswahl aller Objekte auf\nAuswahl aufheben"},
    {Export, "Ergebnisliste e&xportieren",
     "Speichert die (ausgewählten) Ergebnisse in einer Datei ab\nErgebnissliste exportieren"},
    {ExpandAll, "Alle ex&pandieren",
     "Expandiert alle Ergebnisse in der Anzeige so dass alle Einträge sichtbar werden\nAlle Expandieren"},
    {CollapseAll, "Alle &reduzieren",
     "Reduziert alle Ergebnisse in der Anzeige so dass nur noch die Dateinamen sichtbar sind\nAlle Reduzieren"},
}};

// The menu groups the commands the way the tool bar does.
constexpr std::array<int, 11> kBarLayout{OpenInViewer, OpenWithProgram, OpenInExternalEditor, kSeparator, ReplaceMarked,
                                         MarkAll,      MarkNone,        kSeparator,           Export,     ExpandAll,
                                         CollapseAll};

constexpr std::array<ContextMenuEntry, 5> kContextMenu{{
    {OpenInViewer, "In &Vorschau/Word öffnen"},
    {OpenWithProgram, "Mit &verknüpftem Programm öffnen"},
    {OpenInExternalEditor, "In ex&ternem Editor öffnen"},
    {kSeparator, ""},
    {ReplaceMarked, "Ausgewählte Elemente &ersetzen"},
}};

}  // namespace

std::span<const ResultsCommandText> ResultsCommandTexts() { return kCommands; }

const ResultsCommandText* FindResultsCommandText(int id)
{
    for (const ResultsCommandText& command : kCommands)
        if (command.id == id) return &command;
    return nullptr;
}

std::span<const int> ResultsMenuLayout() { return kBarLayout; }
std::span<const int> ResultsToolBarLayout() { return kBarLayout; }
std::span<const ContextMenuEntry> ResultsContextMenuLayout() { return kContextMenu; }

PromptParts SplitPrompt(std::string_view prompt)
{
    const auto lineFeed = prompt.find('\n');
    if (lineFeed == std::string_view::npos) return {prompt, prompt};
    return {prompt.substr(0, lineFeed), prompt.substr(lineFeed + 1)};
}

}  // namespace tarnwick::ui
