#pragma once
// The results commands as the user sees them: ids, menu texts, prompt texts
// (status-bar text and tool tip separated by a line feed), and the order of
// the results menu, the results tool bar and the list's context menu.
#include <span>
#include <string_view>

namespace tarnwick::ui {

namespace ResultsCommandId {
inline constexpr int MarkAll = 40030;
inline constexpr int OpenWithProgram = 40031;
inline constexpr int OpenInViewer = 40032;
inline constexpr int ReplaceMarked = 40033;
inline constexpr int Export = 40034;
inline constexpr int ExpandAll = 40055;
inline constexpr int CollapseAll = 40056;
inline constexpr int MarkNone = 40058;
inline constexpr int OpenInExternalEditor = 40061;
}  // namespace ResultsCommandId

// In the layouts below, this id stands for a separator.
inline constexpr int kSeparator = 0;

struct ResultsCommandText {
    int id;
    std::string_view menuText;  // '&' marks the access key
    std::string_view prompt;  // "status tip\ntool tip"
};

// The commands, in the order of the results menu.
std::span<const ResultsCommandText> ResultsCommandTexts();
// nullptr for an id that is not a results command.
const ResultsCommandText* FindResultsCommandText(int id);

// Menu and tool bar layouts: command ids and kSeparator.
std::span<const int> ResultsMenuLayout();
std::span<const int> ResultsToolBarLayout();

struct ContextMenuEntry {
    int id;  // kSeparator for a separator
    std::string_view text;
};
std::span<const ContextMenuEntry> ResultsContextMenuLayout();

struct PromptParts {
    std::string_view statusTip;
    std::string_view toolTip;
};
// Splits a prompt at its first line feed; without one both parts are the
// whole text.
PromptParts SplitPrompt(std::string_view prompt);

inline constexpr std::string_view kResultsMenuTitle = "&Ergebnisse";
inline constexpr std::string_view kResultsToolBarCaption = "Ergebnisse";
inline constexpr std::string_view kResultsFilterPlaceholder = "Ergebnisse filtern";
inline constexpr std::string_view kResultsFilterToolTip =
    "Zeigt nur Dateien und Treffer, deren Pfad oder Umgebung diesen Text enthält (ohne Beachtung der "
    "Groß-/Kleinschreibung). Markieren, Exportieren und Ersetzen in markierten Ergebnissen wirken weiter auf "
    "alle markierten Einträge.";
inline constexpr std::string_view kResultsToolBarFont = "Tohama";
inline constexpr int kResultsToolBarFontPoints = 9;
inline constexpr std::string_view kExternalEditorUnreadable = "Die Datei kann nicht gelesen werden: ";
inline constexpr std::string_view kExternalEditorBadTemplate =
    "Der Befehl für den externen Editor ist leer oder ungültig (Extras/Optionen, \"Externer Editor\").";
inline constexpr std::string_view kExternalEditorNotStarted = "Der externe Editor konnte nicht gestartet werden: ";
inline constexpr std::string_view kShellOpenFailed = "Fehler beim Starten des mit dieser Datei verknüpften Programms.";

// Column headers and initial widths in pixels.
inline constexpr std::string_view kColumnHeaders[3] = {"Datei/Kontext", "Position [Byte]", "Fehler/Bemerkungen"};
inline constexpr int kColumnWidths[3] = {600, 80, 400};

}  // namespace tarnwick::ui
