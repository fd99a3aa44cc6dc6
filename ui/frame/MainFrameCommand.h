#pragma once

namespace tarnwick::ui {

// The command ids of the main menu and the main tool bar. The numbers are the
// program's historical ids; other panes look their actions up by these values
// (MainFrame::action).
enum class FrameCommand : int {
    // "&Datei (Vorschau)"
    FileNew = 57600,
    FileOpen = 57601,
    FileSave = 57603,
    FileSaveAs = 57604,
    FilePrint = 57607,
    FilePrintPreview = 57609,
    FilePrintSetup = 57606,
    RecentFile = 57616,
    Exit = 57665,
    // "&Suchen/Ersetzen"
    StartSearch = 40024,
    StartReplace = 40025,
    PreviewReplace = 40111,  // the replace run without writing, its changes in a dialog
    Stop = 40035,
    ConvertNames = 40036,
    CopySearchLine = 40101,  // the search as a tarnwick-cli line on the clipboard
    CopyReplaceLine = 40102,  // the same for the replace
    SaveSearch = 40103,  // the form under a name
    SavedSearches = 40104,  // load, rename, delete saved searches
    UndoLastRun = 40110,  // restores what the newest replace run changed
    // "&Ergebnisse"
    OpenInViewer = 40032,
    OpenWithProgram = 40031,
    ReplaceMarked = 40033,
    MarkAll = 40030,
    MarkNone = 40058,
    ExportResults = 40034,
    ExpandAll = 40055,
    CollapseAll = 40056,
    // "&Vorschau"
    Undo = 57643,
    Cut = 57635,
    Copy = 57634,
    Paste = 57637,
    SelectAll = 57642,
    Find = 57636,
    Replace = 57641,
    FindNext = 40053,
    GoTo = 40020,
    // "&Ansicht"
    ShowResults = 40026,
    ShowPreview = 40027,
    SearchOptions = 40054,
    ExtendedSearchOptions = 40038,
    ToolBar = 59392,
    StatusBar = 59393,
    WordWrap = 40018,
    Font = 40019,
    StyleXp = 40028,
    Style2003 = 40029,
    // "E&xtras"
    Options = 40037,
    ExpressionTester = 40112,  // the search and the replacement tried on a sample text
    // "&?"
    About = 57664,
    Help = 40023,
    Tips = 121,
};

// Who carries a command out. The main window decides the enabling of the
// commands it owns and of the run commands; the results pane and the viewer
// decide their own.
enum class CommandOwner {
    Frame,  // the main window itself
    Form,  // passed on to the search form
    Results,  // the results pane
    Viewer,  // the internal viewer
    Later,  // not built yet: shown, always disabled
};

}  // namespace tarnwick::ui
