#include "ui/frame/MainFrameCommands.h"

#include <algorithm>

namespace tarnwick::ui {
namespace {

using F = FrameCommand;
using O = CommandOwner;

std::vector<CommandEntry> BuildCommands()
{
    return {
        {F::FileNew, "&Neu\tStrg+N", O::Viewer, "", "", {"Ctrl+N"}},
        {F::FileOpen, "Ö&ffnen...\tStrg+O", O::Frame, "", "", {"Ctrl+O"}},
        {F::FileSave, "S&peichern\tStrg+S", O::Viewer, "", "", {"Ctrl+S"}},
        {F::FileSaveAs, "Speichern &unter...", O::Viewer, "", "", {}},
        {F::FilePrint, "&Drucken...\tStrg+P", O::Viewer, "", "", {"Ctrl+P"}},
        {F::FilePrintPreview, "Sei&tenansicht", O::Viewer, "", "", {}},
        {F::FilePrintSetup, "Drucker&einrichtung...", O::Viewer, "", "", {}},
        {F::RecentFile, "Letzte Datei", O::Frame, "", "", {}},
        {F::Exit, "Programm &Schliessen", O::Frame, "", "", {}},

        {F::StartSearch, "&Suche starten", O::Form, "", "", {}},
        {F::StartReplace, "&Ersetzen starten", O::Form, "", "", {}},
        {F::PreviewReplace,
         "&Vorschau der Ersetzungen...",
         O::Form,
         "Zeigt, was der Ersetzungslauf ändern würde, ohne etwas zu schreiben",
         "Vorschau der Ersetzungen",
         {}},
        {F::Stop, "Sto&pp", O::Form, "", "", {}},
        {F::ConvertNames, "&Grossbuchstaben im Dateinamen wandeln...", O::Form, "", "", {}},
        {F::UndoLastRun,
         "Rückgängig: letzter Ersetzungslauf",
         O::Form,
         "Stellt die Dateien wieder her, die der letzte Ersetzungslauf geändert hat",
         "",
         {}},
        {F::SaveSearch, "Suche spe&ichern...", O::Form, "Speichert das ganze Suchformular unter einem Namen", "", {}},
        {F::SavedSearches, "Gespeic&herte Suchen...", O::Form, "Lädt, benennt oder löscht gespeicherte Suchen", "", {}},
        {F::CopySearchLine,
         "Suche als &Befehlszeile kopieren",
         O::Form,
         "Kopiert die Suche mit allen Optionen als Befehlszeile für tarnwick-cli in die Zwischenablage",
         "",
         {}},
        {F::CopyReplaceLine,
         "Ersetzen als Be&fehlszeile kopieren",
         O::Form,
         "Kopiert das Ersetzen mit allen Optionen als Befehlszeile für tarnwick-cli in die Zwischenablage",
         "",
         {}},

        {F::OpenInViewer,
         "In &Vorschau/Word öffnen",
         O::Results,
         "Öffnet die ausgewählte Datei in der Vorschau bzw. Word und markiert das entsprechende Ergebnis",
         "In Vorschau öffnen",
         {}},
        {F::OpenWithProgram,
         "Markierte Datei &öffnen",
         O::Results,
         "Öffnet die Datei mit dem verknüpften Programm",
         "Öffnen",
         {}},
        {F::ReplaceMarked,
         "Ausgewählte Elemente &ersetzen",
         O::Results,
         "Führt die Ersetzungen in den ausgewählten Ergebnissen durch.",
         "In Ergebnissen ersetzen",
         {}},
        {F::MarkAll, "Alles &auswählen", O::Results, "Alle Ergebnisse auswählen", "Alles auswählen", {}},
        {F::MarkNone, "&Nichts auswählen", O::Results, "Hebt die Auswahl aller Objekte auf", "Auswahl aufheben", {}},
        {F::ExportResults,
         "Ergebnisliste e&xportieren",
         O::Results,
         "Speichert die (ausgewählten) Ergebnisse in einer Datei ab",
         "Ergebnissliste exportieren",
         {}},
        {F::ExpandAll,
         "Alle ex&pandieren",
         O::Results,
         "Expandiert alle Ergebnisse in der Anzeige so dass alle Einträge sichtbar werden",
         "Alle Expandieren",
         {}},
        {F::CollapseAll,
         "Alle &reduzieren",
         O::Results,
         "Reduziert alle Ergebnisse in der Anzeige so dass nur noch die Dateinamen sichtbar sind",
         "Alle Reduzieren",
         {}},

        {F::Undo, "&Rückgängig\tStrg+Z", O::Viewer, "", "", {"Ctrl+Z", "Alt+Backspace"}},
        {F::Cut, "&Ausschneiden\tStrg+X", O::Viewer, "", "", {"Ctrl+X", "Shift+Del"}},
        {F::Copy, "&Kopieren\tStrg+C", O::Viewer, "", "", {"Ctrl+C", "Ctrl+Ins"}},
        {F::Paste, "E&infügen\tStrg+V", O::Viewer, "", "", {"Ctrl+V", "Shift+Ins"}},
        {F::SelectAll, "Alles &markieren\tStrg+A", O::Viewer, "", "", {"Ctrl+A"}},
        {F::Find, "&Suchen...\tStrg+F", O::Viewer, "", "", {"Ctrl+F"}},
        {F::Replace, "&Ersetzen\tStrg+H", O::Viewer, "", "", {"Ctrl+H"}},
        {F::FindNext, "&Weitersuchen", O::Viewer, "", "", {"F3"}},
        {F::GoTo, "&Gehe zu...\tStrg+G", O::Viewer, "", "", {"Ctrl+G"}},

        {F::ShowResults, "&Ergebnisliste", O::Frame, "", "", {}, true},
        {F::ShowPreview, "&Vorschau", O::Frame, "", "", {}, true},
        {F::SearchOptions, "Such&optionen", O::Frame, "", "", {}, true},
        {F::ExtendedSearchOptions, "Er&weitere Suchoptionen", O::Frame, "", "", {}, true},
        {F::ToolBar, "&Symbolleiste", O::Frame, "", "", {}, true},
        {F::StatusBar, "S&tatusleiste", O::Frame, "", "", {}, true},
        {F::WordWrap, "&Zeilenumbruch (Vorschau)", O::Viewer, "", "", {}, true},
        {F::Font, "S&chriftart...", O::Viewer, "", "", {}},
        {F::StyleXp, "&XP Stil", O::Frame, "", "", {}, true},
        {F::Style2003, "200&3 Stil", O::Frame, "", "", {}, true},

        {F::Options, "&Optionen", O::Form, "", "", {}},
        {F::ExpressionTester,
         "Ausdruck &testen...",
         O::Form,
         "Probiert Suchtext, Ersetzungstext und Optionen an einem Beispieltext aus",
         "",
         {}},

        {F::About, "Inf&o über Tarnwick...", O::Frame, "", "", {}},
        {F::Help, "&Hilfe", O::Frame, "", "", {}},
        {F::Tips, "&Tipps und Tricks", O::Frame, "Zeigt einen der Tips und Tricks an.", "", {}},
    };
}

}  // namespace

const std::vector<CommandEntry>& AllCommands()
{
    static const std::vector<CommandEntry> commands = BuildCommands();
    return commands;
}

const CommandEntry* FindCommand(FrameCommand id)
{
    const auto& commands = AllCommands();
    auto it = std::find_if(commands.begin(), commands.end(), [id](const CommandEntry& c) { return c.id == id; });
    return it == commands.end() ? nullptr : &*it;
}

const std::vector<MenuEntry>& MainMenuLayout()
{
    static const std::vector<MenuEntry> menus = {
        {"&Datei (Vorschau)",
         {F::FileNew, F::FileOpen, F::FileSave, F::FileSaveAs, std::nullopt, F::FilePrint, F::FilePrintPreview, F::FilePrintSetup,
          std::nullopt, F::RecentFile, std::nullopt, F::Exit}},
        {"&Suchen/Ersetzen",
         {F::StartSearch, F::StartReplace, F::PreviewReplace, F::Stop, std::nullopt, F::ConvertNames, F::UndoLastRun,
          std::nullopt, F::SaveSearch, F::SavedSearches, std::nullopt, F::CopySearchLine, F::CopyReplaceLine}},
        {"&Ergebnisse",
         {F::OpenInViewer, F::OpenWithProgram, std::nullopt, F::ReplaceMarked, F::MarkAll, F::MarkNone, std::nullopt,
          F::ExportResults, std::nullopt, F::ExpandAll, F::CollapseAll}},
        {"&Vorschau",
         {F::Undo, std::nullopt, F::Cut, F::Copy, F::Paste, F::SelectAll, std::nullopt, F::Find, F::Replace, F::FindNext,
          F::GoTo}},
        {"&Ansicht",
         {F::ShowResults, F::ShowPreview, std::nullopt, F::SearchOptions, F::ExtendedSearchOptions, std::nullopt, F::ToolBar,
          F::StatusBar, std::nullopt, F::WordWrap, F::Font, std::nullopt, F::StyleXp, F::Style2003}},
        {"E&xtras", {F::Options, F::ExpressionTester}},
        {"&?", {F::About, F::Help, F::Tips}},
    };
    return menus;
}

const std::vector<std::optional<FrameCommand>>& MainToolBarLayout()
{
    static const std::vector<std::optional<FrameCommand>> bar = {
        F::StartSearch, F::StartReplace, F::PreviewReplace, F::Stop,  std::nullopt, F::FilePrint,
        std::nullopt,   F::Options,      std::nullopt,      F::About, F::Help};
    return bar;
}

std::string ToolTipOf(const CommandEntry& entry)
{
    if (!entry.toolTip.empty()) return entry.toolTip;
    std::string text = entry.text.substr(0, entry.text.find('\t'));
    std::erase(text, '&');
    if (text.size() >= 3 && text.compare(text.size() - 3, 3, "...") == 0) text.resize(text.size() - 3);
    return text;
}

std::optional<bool> FrameEnablesCommand(FrameCommand id, bool busy)
{
    switch (id) {
    // A second run must not start while one is active; only a running one can stop.
    case F::StartSearch:
    case F::StartReplace:
    case F::PreviewReplace:
    case F::ConvertNames:
    // Not while a run changes files; whether there is a run to undo is asked when the menu opens.
    case F::UndoLastRun: return !busy;
    case F::Stop: return busy;
    default: break;
    }
    const CommandEntry* entry = FindCommand(id);
    if (entry == nullptr) return false;
    switch (entry->owner) {
    case O::Frame:
    case O::Form: return true;
    case O::Later: return false;
    case O::Results:
    case O::Viewer: return std::nullopt;
    }
    return false;
}

}  // namespace tarnwick::ui
