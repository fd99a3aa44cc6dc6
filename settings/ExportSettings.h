#pragma once
// Section `Export`: the export dialog's four values, which the terminal
// program's export options fill as well.
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/Expected.h"

#include "results/ExportRequest.h"

namespace tarnwick::settings {

class ProfileStore;

inline constexpr char kExportSection[] = "Export";

struct ExportSettings {
    ExportType type = ExportType::Xml;  // Exporttyp: 0 XML, 1 CSV, 2 template
    int elements = ExportElement::Hits;  // Exportelemente, ExportElement bits
    std::string templatePath;  // Vorlagenpfad
    std::string separator = "; ";  // szListentrennz, as typed ("\t" not yet a tab)

    bool operator==(const ExportSettings&) const = default;
};

// The default template: "vorlage_export.txt" in the program's directory.
std::string DefaultTemplatePath(std::string_view programDirectory);
// The type of a stored "Exporttyp"; a number that names no radio button
// (above 2, or negative) reads as XML.
ExportType ExportTypeFromStored(std::int64_t stored);
std::uint32_t StoredExportType(ExportType type);

// The template path defaults to DefaultTemplatePath(programDirectory).
ExportSettings ReadExportSettings(ProfileStore& store, const std::string& programDirectory);
Expected<void> WriteExportSettings(ProfileStore& store, const ExportSettings& settings);

}  // namespace tarnwick::settings
