#pragma once
// The viewer's texts as the user sees them.
#include <QString>

#include "ui/viewer/ViewerCodec.h"

namespace tarnwick::ui::viewertext {

inline QString LargeFile()
{
    return QStringLiteral("Die Datei ist sehr gross. Das Öffnen im internen Betrachter kann u.U. lange dauern. "
                          "Möchten Sie trotzdem fortsetzen?");
}
// %1 the file's name.
inline QString SaveChanges() { return QStringLiteral("Änderungen in %1 speichern?"); }
inline QString Untitled() { return QStringLiteral("Unbenannt"); }
// %1 the path, %2 the system's reason.
inline QString CannotRead() { return QStringLiteral("Die Datei \"%1\" kann nicht gelesen werden:\n%2"); }
inline QString NotAFile()
{
    return QStringLiteral("\"%1\" ist keine gewöhnliche Datei (ein Verzeichnis, ein Gerät oder eine Pipe) "
                          "und kann nicht angezeigt werden.");
}
inline QString CannotSave() { return QStringLiteral("Die Datei \"%1\" kann nicht gespeichert werden:\n%2"); }
// %1 the path, %2 the line, %3 the column, %4 the character.
inline QString CannotEncode()
{
    return QStringLiteral("Die Datei \"%1\" wird nicht gespeichert: Das Zeichen \"%4\" in Zeile %2, Spalte %3 "
                          "lässt sich in der Kodierung der Datei nicht darstellen. Entfernen Sie es, dann "
                          "kann die Datei gespeichert werden.");
}
// Above a file the viewer shows read-only; empty for ReadOnlyReason::None.
inline QString ReadOnlyNote(ReadOnlyReason reason)
{
    QString why;
    switch (reason) {
    case ReadOnlyReason::None: return {};
    case ReadOnlyReason::InsideFile:
        return QStringLiteral("Nur lesen (schreibgeschützt, aus dem Archiv): Der Text wurde aus einem Archiv, einer "
                              "komprimierten Datei oder einer PDF-Datei nur in den Speicher gelesen. Er kann hier weder "
                              "bearbeitet noch ersetzt oder gespeichert werden.");
    case ReadOnlyReason::OddFinalByte:
        why = QStringLiteral("Die Datei ist als UTF-16 gekennzeichnet, endet aber mit einem einzelnen Byte "
                             "(angezeigt als \uFFFD).");
        break;
    case ReadOnlyReason::UnpairedSurrogate:
        why = QStringLiteral("Die Datei ist als UTF-16 gekennzeichnet, enthält aber ein unvollständiges "
                             "Surrogatpaar (angezeigt als \uFFFD).");
        break;
    case ReadOnlyReason::EditorCharacters:
        why = QStringLiteral("Die Datei enthält Zeichen, die der Editor als Zeilenumbruch nähme oder nicht von "
                             "einem einzelnen CR oder LF unterscheiden könnte.");
        break;
    }
    return QStringLiteral("Nur lesen: %1 Gespeichert würde sie verändert, deshalb kann sie hier weder bearbeitet "
                          "noch gespeichert werden.")
        .arg(why);
}
inline QString NotFound() { return QStringLiteral("Kann \"%1\" nicht finden"); }
inline QString RegexNotFound() { return QStringLiteral("Cannot find \"%1\""); }
inline QString RegexNotFoundTitle() { return QStringLiteral("Notepad RE"); }
inline QString NoFindText() { return QStringLiteral("Kein Suchstring definiert."); }

// The find and replace dialog, after the command that opened it.
inline QString FindTitle() { return QStringLiteral("Suchen"); }
inline QString ReplaceTitle() { return QStringLiteral("Ersetzen"); }
inline QString GoToTitle() { return QStringLiteral("Gehe zu"); }
inline QString ToolBarTitle() { return QStringLiteral("Vorschau"); }

inline QString Yes() { return QStringLiteral("&Ja"); }
inline QString No() { return QStringLiteral("&Nein"); }
inline QString Ok() { return QStringLiteral("OK"); }
inline QString Cancel() { return QStringLiteral("Abbrechen"); }

}  // namespace tarnwick::ui::viewertext
