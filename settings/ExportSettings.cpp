#include "settings/ExportSettings.h"

#include "settings/ProfileStore.h"

namespace tarnwick::settings {

std::string DefaultTemplatePath(std::string_view programDirectory)
{
    std::string path(programDirectory);
    if (path.empty() || path.back() != '/') path.push_back('/');
    return path + "vorlage_export.txt";
}

ExportType ExportTypeFromStored(std::int64_t stored)
{
    switch (stored) {
    case static_cast<int>(ExportType::Csv): return ExportType::Csv;
    case static_cast<int>(ExportType::Template): return ExportType::Template;
    default: return ExportType::Xml;
    }
}

std::uint32_t StoredExportType(ExportType type) { return static_cast<std::uint32_t>(type); }

ExportSettings ReadExportSettings(ProfileStore& store, const std::string& programDirectory)
{
    ExportSettings settings;
    settings.templatePath = store.GetProfileString(kExportSection, "Vorlagenpfad", DefaultTemplatePath(programDirectory));
    settings.type = ExportTypeFromStored(store.GetProfileInt(kExportSection, "Exporttyp", StoredExportType(settings.type)));
    settings.elements =
        static_cast<int>(store.GetProfileInt(kExportSection, "Exportelemente", static_cast<std::uint32_t>(settings.elements)));
    settings.separator = store.GetProfileString(kExportSection, "szListentrennz", settings.separator);
    return settings;
}

Expected<void> WriteExportSettings(ProfileStore& store, const ExportSettings& settings)
{
    ProfileStore::Batch batch(store);
    batch.WriteProfileString(kExportSection, "Vorlagenpfad", settings.templatePath);
    batch.WriteProfileInt(kExportSection, "Exporttyp", StoredExportType(settings.type));
    batch.WriteProfileInt(kExportSection, "Exportelemente", static_cast<std::uint32_t>(settings.elements));
    batch.WriteProfileString(kExportSection, "szListentrennz", settings.separator);
    return batch.commit();
}

}  // namespace tarnwick::settings
