#pragma once
// The texts of the menu "&?": the About box, the update check, the updater's
// start and the tips of the day, byte-exact (UTF-8).

namespace tarnwick::ui::text::help {

// About box.
inline constexpr const char* kAboutTitle = "Info über Tarnwick";
inline constexpr const char* kAboutVersion = "Tarnwick Version 2.0";
inline constexpr const char* kCheckForUpdate = "Auf neue Version überprüfen";
inline constexpr const char* kOk = "OK";

// The update check dialog (titled kCheckForUpdate).
inline constexpr const char* kUpdateFetching = "Überprüfe auf aktuelle Version\nHole Informationen vom Server...\n"
                                               "Es werden dabei keine persönlichen Informationen übertragen.";
inline constexpr const char* kUpdateNoConnection = "Verbindung zum Server konnte nicht hergestellt werden.\n"
                                                   "Versuchen Sie es später erneut und überprüfen Sie Ihre Internetverbindung.";
inline constexpr const char* kUpdateUnreadable = "Fehler beim Überprüfen. Antwort kann nicht gelesen werden.";
inline constexpr const char* kUpdateBackup = "Sicherungskopie von alter Version erstellen";
inline constexpr const char* kUpdateNow = "Aktualisieren";
inline constexpr const char* kCancel = "Abbrechen";

// The request: path and query on the update server.
inline constexpr const char* kUpdateRequest = "/cgi-bin/akt.cgi?prog=tarnwk&spra=deu&vers=2.0.2.8";

// The updater beside the program, and the program's name it is told.
inline constexpr const char* kUpdaterFileName = "aktualisierer";
inline constexpr const char* kProgramFileName = "tarnwick";
inline constexpr const char* kUpdaterStartFailed =
    "Fehler beim Starten des Aktualisierungsprogramms. Stellen Sie sicher, dass es sich im selben Verzeichnis "
    "wie Tarnwick befindet.";

// Tips of the day.
inline constexpr const char* kTipsFileName = "tips.txt";
inline constexpr const char* kTipsTitle = "Tipps und Tricks";
inline constexpr const char* kTipsHeading = "Wussten Sie schon...";
inline constexpr const char* kTipsAtStartUp = "&Tipps beim Starten anzeigen";
inline constexpr const char* kNextTip = "&Nächster Tipp";
inline constexpr const char* kCloseTips = "&Schließen";
inline constexpr const char* kTipsFileAbsent = "Tips-Datei ist im vorgeschriebenen Verzeichnis nicht vorhanden";
inline constexpr const char* kTipsFileUnreadable = "Probleme beim Lesen der Tips-Datei";
inline constexpr const char* kTipsFileWithoutTips = "Die Tips-Datei enthält keinen Tipp.";

// The help beside the program, and what becomes of a request for it.
inline constexpr const char* kHelpIndex = "help/index.html";
inline constexpr const char* kHelpMissing = "Die Hilfe ist nicht vorhanden. Sie wird als \"help/index.html\" neben "
                                            "dem Programm oder in \"../share/tarnwick\" erwartet; das Programm liegt in ";
inline constexpr const char* kHelpUnreadable = "Die Hilfe kann nicht gelesen werden: ";
inline constexpr const char* kHelpInOwnWindow = " Die Hilfe wird deshalb in diesem Fenster angezeigt.";
inline constexpr const char* kAddressAsText = " Die Adresse lautet: ";
inline constexpr const char* kHelpWindowTitle = "Tarnwick Hilfe";
inline constexpr const char* kHelpBack = "Zurück";
inline constexpr const char* kHelpForward = "Vorwärts";
inline constexpr const char* kHelpHome = "Inhalt";

// What the desktop's opener (xdg-open) reported.
inline constexpr const char* kOpenerNotStarted =
    "Der Browser konnte nicht aufgerufen werden: xdg-open lässt sich nicht starten (";
inline constexpr const char* kOpenerNoBrowser =
    "Es ist kein Browser eingerichtet: xdg-open fand kein Programm, das die Seite anzeigt.";
inline constexpr const char* kOpenerFailed = "Der Browser konnte die Seite nicht anzeigen: xdg-open endete mit dem Fehlercode ";
inline constexpr const char* kOpenerSignal = "Der Browser konnte die Seite nicht anzeigen: xdg-open wurde durch das Signal ";

}  // namespace tarnwick::ui::text::help
