#include "settings/ExportSettings.h"

#include "settings/ProfileStore.h"

namespace tarnwick::settings {

ExportSettings ReadExportSettings(ProfileStore& store, const std::string& programDirectory)
{
    ExportSettings settings;
    settings.templatePath = store.GetProfileString(kExportSection, "Vorlagenpfad", programDirectory + "/vorlage_export.txt");
    settings.exportType = store.GetProfileInt(kExportSection, "Exporttyp", settings.exportType);
    if (settings.exportType > 2) settings.exportType = 0;
    settings.elements = store.GetProfileInt(kExportSection, "Exportelemente", settings.elements);
    settings.separator = store.GetProfileString(kExportSection, "szListentrennz", settings.separator);
    return settings;
}

bool WriteExportSettings(ProfileStore& store, const ExportSettings& settings)
{
    ProfileStore::Batch batch(store);
    batch.WriteProfileString(kExportSection, "Vorlagenpfad", settings.templatePath);
    batch.WriteProfileInt(kExportSection, "Exporttyp", settings.exportType);
    batch.WriteProfileInt(kExportSection, "Exportelemente", settings.elements);
    batch.WriteProfileString(kExportSection, "szListentrennz", settings.separator);
    return batch.Commit();
}

}  // namespace tarnwick::settings
