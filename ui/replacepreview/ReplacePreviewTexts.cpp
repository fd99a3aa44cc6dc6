#include "ui/replacepreview/ReplacePreviewTexts.h"

namespace tarnwick::ui::previewtext {

std::string Summary(std::int64_t replacements, std::size_t entries, std::size_t errors, std::size_t backups)
{
    std::string text = entries == 0 ? std::string("Der Ersetzungslauf würde nichts ändern.")
                                    : "Der Ersetzungslauf würde " + std::to_string(replacements) + " Einträge in " +
            std::to_string(entries) + (entries == 1 ? " Datei" : " Dateien") + " ändern";
    if (entries > 0 && backups > 0)
        text += " und " + std::to_string(backups) + (backups == 1 ? " Sicherungskopie" : " Sicherungskopien") + " anlegen";
    if (entries > 0) text += ".";
    if (errors > 0) text += " " + std::to_string(errors) + " Fehler.";
    return text + " Noch wurde nichts geschrieben.";
}

std::string CountText(const PreviewEntry& entry)
{
    if (entry.kind == PreviewEntryKind::NameOnly) return "umbenannt";
    return std::to_string(entry.replacements) + (entry.replacements == 1 ? " Ersetzung" : " Ersetzungen");
}

std::string NoteText(const PreviewEntry& entry)
{
    switch (entry.kind) {
    case PreviewEntryKind::Binary: return "Binärdatei: die Änderungen werden nicht als Text gezeigt.";
    case PreviewEntryKind::NameOnly: return "Der Inhalt bleibt unverändert.";
    case PreviewEntryKind::Text:
    case PreviewEntryKind::Document:
        if (entry.tooLargeForLines) return "Die Datei ist zu gross, um ihre geänderten Zeilen zu zeigen.";
        if (entry.hiddenLines > 0)
            return "… " + std::to_string(entry.hiddenLines) + " weitere geänderte " +
                (entry.kind == PreviewEntryKind::Document ? "Absätze" : "Zeilen") + " werden nicht angezeigt.";
        break;
    case PreviewEntryKind::Error: break;
    }
    return {};
}

std::string LineLabel(bool added, std::size_t number) { return (added ? "+ " : "- ") + std::to_string(number) + ": "; }

}  // namespace tarnwick::ui::previewtext
