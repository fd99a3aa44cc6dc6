#pragma once
// The texts of the error items that searching inside archives, compressed
// files, PDF, spreadsheets and presentations gives. Shown to users and
// written to logs exactly as they stand.
namespace tarnwick::text {

inline constexpr const char* kInsideEncryptedEntry = "Der Eintrag ist verschlüsselt und wird nicht durchsucht.";
inline constexpr const char* kInsideEncryptedArchive = "Das Archiv ist verschlüsselt und wird nicht durchsucht.";
inline constexpr const char* kInsideEncryptedPdf = "Die PDF-Datei ist mit einem Kennwort geschützt und wird nicht durchsucht.";
// Followed by what the reading library found wrong.
inline constexpr const char* kInsideDamagedEntry = "Der Eintrag ist beschädigt: ";
inline constexpr const char* kInsideDamagedArchive = "Das Archiv ist beschädigt: ";
inline constexpr const char* kInsideDamagedPdf = "Die PDF-Datei ist beschädigt: ";
// %d: the ratio of platform/ExpansionLimits.h.
inline constexpr const char* kInsideEntryExpandsTooFar =
    "Der Eintrag würde entpackt mehr als das %d-Fache seiner gepackten Größe belegen; das Archiv wird nicht weiter "
    "durchsucht.";
// %d: the limit in MB.
inline constexpr const char* kInsideArchiveExpandsTooFar =
    "Das Archiv würde entpackt mehr als %d MB belegen; es wird nicht weiter durchsucht.";

// The names of the texts inside a file, after its path and " » ", with the
// number from 1: "report.pdf » Seite 2", "slides.pptx » Folie 3".
inline constexpr const char* kInsidePdfPage = "Seite ";
inline constexpr const char* kInsideSlide = "Folie ";

}  // namespace tarnwick::text
