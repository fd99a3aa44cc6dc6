#pragma once
// Section `Export`: the export dialog's four values.
#include <cstdint>
#include <string>

namespace tarnwick::settings {

class ProfileStore;

inline constexpr char kExportSection[] = "Export";

namespace ExportElement {
inline constexpr std::uint32_t ContentHits = 1;
inline constexpr std::uint32_t Errors = 2;
inline constexpr std::uint32_t FileNameHits = 4;
inline constexpr std::uint32_t DirectoryNameHits = 8;
}  // namespace ExportElement

struct ExportSettings {
    std::uint32_t exportType = 0;  // Exporttyp: 0 XML, 1 CSV, 2 template
    std::uint32_t elements = ExportElement::ContentHits;  // Exportelemente
    std::string templatePath;  // Vorlagenpfad
    std::string separator = "; ";  // szListentrennz, as typed ("\t" not yet a tab)

    bool operator==(const ExportSettings&) const = default;
};

// The template path defaults to `programDirectory` + "/vorlage_export.txt".
// A stored export type above 2 reads as 0.
ExportSettings ReadExportSettings(ProfileStore& store, const std::string& programDirectory);
bool WriteExportSettings(ProfileStore& store, const ExportSettings& settings);

}  // namespace tarnwick::settings
